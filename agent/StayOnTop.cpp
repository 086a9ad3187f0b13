#include "agent/StayOnTop.h"

#include "platform/XcbReply.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace perch {

namespace {
constexpr int GatherMs = 100;  // at most ten checks a second

xcb_connection_t* Connection() {
  if (QGuiApplication::platformName() != "xcb") return nullptr;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

// A window's rectangle on the root, in the display's own pixels; empty when
// it is gone.
struct TRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};
TRect RootRect(xcb_connection_t* connection, xcb_window_t window, xcb_window_t root) {
  const auto geometryCookie = xcb_get_geometry(connection, window);
  const auto placeCookie = xcb_translate_coordinates(connection, window, root, 0, 0);
  const TXcbReply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection, geometryCookie, nullptr));
  const TXcbReply<xcb_translate_coordinates_reply_t> place(
      xcb_translate_coordinates_reply(connection, placeCookie, nullptr));
  if (!geometry || !place) return {};
  return {place->dst_x, place->dst_y, geometry->width, geometry->height};
}

std::uint32_t EventMask(xcb_connection_t* connection, xcb_window_t window) {
  const TXcbReply<xcb_get_window_attributes_reply_t> attributes(
      xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr));
  return attributes ? attributes->your_event_mask : 0;
}

void SelectEvents(xcb_connection_t* connection, xcb_window_t window, std::uint32_t mask) {
  xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
}
}  // namespace

TStayOnTop::TStayOnTop(const std::vector<QWidget*>& windows) {
  for (QWidget* window : windows) windows_.emplace_back(window);
  checkTimer_.setSingleShot(true);
  checkTimer_.setInterval(GatherMs);
  connect(&checkTimer_, &QTimer::timeout, this, &TStayOnTop::Check);
  xcb_connection_t* connection = Connection();
  if (!connection) return;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (!screen) return;
  root_ = screen->root;
  activeAtom_ = InternAtom(connection, "_NET_ACTIVE_WINDOW");
  stateAtom_ = InternAtom(connection, "_NET_WM_STATE");
  fullScreenAtom_ = InternAtom(connection, "_NET_WM_STATE_FULLSCREEN");
  // Added to what Qt already selects on the root window (the masks are per
  // client, and Qt shares this connection).
  SelectEvents(
      connection, root_,
      EventMask(connection, root_) | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE);
  xcb_flush(connection);
  qApp->installNativeEventFilter(this);
  checkTimer_.start();  // a full-screen window may be up already
}

TStayOnTop::~TStayOnTop() {
  if (root_ == 0) return;
  qApp->removeNativeEventFilter(this);
  WatchActive(0);
}

bool TStayOnTop::Ours(std::uint32_t window) const {
  for (const QPointer<QWidget>& ours : windows_)
    if (ours && ours->internalWinId() == window) return true;
  return false;
}

bool TStayOnTop::StackingChanged(std::uint32_t window, std::uint32_t below) {
  below_.resize(windows_.size(), 0);
  for (std::size_t k = 0; k < windows_.size(); ++k) {
    if (!windows_[k] || windows_[k]->internalWinId() != window) continue;
    const bool changed = below_[k] != below;
    below_[k] = below;
    return changed;
  }
  return false;
}

bool TStayOnTop::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (root_ == 0 || eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  xcb_window_t parent = 0, window = 0;
  bool bypassing = false, stacking = false;
  switch (event->response_type & 0x7f) {
    case XCB_CONFIGURE_NOTIFY: {
      const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
      parent = configure->event;
      window = configure->window;
      bypassing = configure->override_redirect != 0;
      stacking = StackingChanged(window, configure->above_sibling);
      break;
    }
    case XCB_MAP_NOTIFY: {
      const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
      parent = map->event;
      window = map->window;
      bypassing = map->override_redirect != 0;
      if (parent == root_ && Ours(window)) {
        // Shown while a full-screen window is up: off again at once.
        if (covered_)
          if (xcb_connection_t* connection = Connection()) {
            xcb_unmap_window(connection, window);
            xcb_flush(connection);
          }
        if (!checkTimer_.isActive()) checkTimer_.start();
        return false;
      }
      break;
    }
    case XCB_PROPERTY_NOTIFY: {
      const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
      if ((property->window == root_ && property->atom == activeAtom_) ||
          (property->window == active_ && active_ != 0 && property->atom == stateAtom_))
        if (!checkTimer_.isActive()) checkTimer_.start();
      return false;  // Qt reads properties of its own
    }
    default: return false;
  }
  if (parent != root_ || window == root_) return false;  // Qt's own events
  if (Ours(window)) {
    // Raised by Qt (a balloon presented): perhaps over another's popup.
    if (stacking && !checkTimer_.isActive()) checkTimer_.start();
    return false;
  }
  // Another program's menu or popup coming up leaves the character where it is.
  if (!bypassing && !checkTimer_.isActive()) checkTimer_.start();
  return true;  // reports on other programs' windows are only ours to read
}

void TStayOnTop::Check() {
  xcb_connection_t* connection = Connection();
  if (!connection) return;
  xcb_window_t active = 0;
  const TXcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, root_, activeAtom_, XCB_ATOM_WINDOW, 0, 1), nullptr));
  if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) >= 4)
    active = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
  if (Ours(active)) active = 0;
  if (active != active_) WatchActive(active);
  SetCovered(FullScreenOverUs());
  if (!covered_) Restack();
  xcb_flush(connection);
}

void TStayOnTop::WatchActive(std::uint32_t window) {
  xcb_connection_t* connection = Connection();
  if (!connection) return;
  // The window that was active gets back the mask it had of us (Qt's, when
  // it is a window of this program).
  if (active_ != 0 && !(activeOldMask_ & XCB_EVENT_MASK_PROPERTY_CHANGE))
    SelectEvents(connection, active_, activeOldMask_);
  active_ = window;
  activeOldMask_ = 0;
  if (window == 0) return;
  activeOldMask_ = EventMask(connection, window);
  SelectEvents(connection, window, activeOldMask_ | XCB_EVENT_MASK_PROPERTY_CHANGE);
}

bool TStayOnTop::FullScreenOverUs() const {
  xcb_connection_t* connection = Connection();
  if (active_ == 0 || windows_.empty() || !windows_.front()) return false;
  const TXcbReply<xcb_get_property_reply_t> state(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, active_, stateAtom_, XCB_ATOM_ATOM, 0, 32), nullptr));
  if (!state || state->format != 32) return false;
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(state.get()));
  const int count = xcb_get_property_value_length(state.get()) / 4;
  bool fullScreen = false;
  for (int i = 0; i < count; ++i) fullScreen = fullScreen || atoms[i] == fullScreenAtom_;
  if (!fullScreen) return false;
  // A full-screen window covers its monitor: the character is on that
  // monitor when its centre lies under the window.
  const auto characterId = xcb_window_t(windows_.front()->internalWinId());
  if (characterId == 0) return false;
  const TRect character = RootRect(connection, characterId, root_);
  const TRect window = RootRect(connection, active_, root_);
  return window.Contains(character.x + character.width / 2, character.y + character.height / 2);
}

void TStayOnTop::SetCovered(bool covered) {
  if (covered == covered_) return;
  covered_ = covered;
  xcb_connection_t* connection = Connection();
  for (const QPointer<QWidget>& window : windows_) {
    if (!window || !window->isVisible()) continue;
    const auto id = xcb_window_t(window->winId());
    if (covered) xcb_unmap_window(connection, id);
    else xcb_map_window(connection, id);
  }
  emit CoveredChanged(covered);
}

void TStayOnTop::Restack() {
  xcb_connection_t* connection = Connection();
  const TXcbReply<xcb_query_tree_reply_t> tree(
      xcb_query_tree_reply(connection, xcb_query_tree(connection, root_), nullptr));
  if (!tree) return;
  const xcb_window_t* children = xcb_query_tree_children(tree.get());  // bottom first
  const int count = xcb_query_tree_children_length(tree.get());
  std::vector<xcb_get_window_attributes_cookie_t> cookies;
  cookies.reserve(std::size_t(count));
  for (int i = 0; i < count; ++i) cookies.push_back(xcb_get_window_attributes(connection, children[i]));
  // The topmost managed window shown, and where each of ours stands.
  int topManaged = -1;
  std::vector<int> ourPlaces(windows_.size(), -1);
  std::vector<bool> shown(std::size_t(count), false);
  for (int i = 0; i < count; ++i) {
    const TXcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, cookies[std::size_t(i)], nullptr));
    for (std::size_t k = 0; k < windows_.size(); ++k)
      if (windows_[k] && windows_[k]->internalWinId() == children[i]) ourPlaces[k] = i;
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE || Ours(children[i])) continue;
    shown[std::size_t(i)] = true;
    if (!attributes->override_redirect) topManaged = i;
  }
  if (topManaged < 0) return;  // nothing managed to stand above
  // In place when ours follow it in order with no other window shown
  // between: one that is (a popup) stays above them.
  bool inPlace = true;
  int below = topManaged;
  for (std::size_t k = 0; k < windows_.size() && inPlace; ++k) {
    if (!windows_[k] || !windows_[k]->isVisible() || ourPlaces[k] < 0) continue;
    inPlace = ourPlaces[k] > below;
    for (int j = below + 1; j < ourPlaces[k] && inPlace; ++j) inPlace = !shown[std::size_t(j)];
    below = ourPlaces[k];
  }
  if (inPlace) return;
  xcb_window_t sibling = children[topManaged];
  for (const QPointer<QWidget>& window : windows_) {
    if (!window || !window->isVisible()) continue;
    const auto id = xcb_window_t(window->winId());
    const std::uint32_t values[] = {sibling, XCB_STACK_MODE_ABOVE};
    xcb_configure_window(connection, id, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
    sibling = id;
  }
}

}  // namespace perch
