#include "companion/DesktopWindows.h"

#include "platform/XcbReply.h"

#include <QGuiApplication>
#include <QScreen>

#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace perch {

namespace {

xcb_connection_t* Connection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t Root(xcb_connection_t* connection) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  return screen != nullptr ? screen->root : xcb_window_t(XCB_WINDOW_NONE);
}

// Errors (a window gone meanwhile) are taken here, not left to Qt's
// event queue, where each would be reported.
template <typename TCookie, typename TReplyFunction>
auto Answer(xcb_connection_t* connection, TReplyFunction replyFunction, TCookie cookie) {
  xcb_generic_error_t* error = nullptr;
  auto* reply = replyFunction(connection, cookie, &error);
  std::free(error);
  return TXcbReply<std::remove_pointer_t<decltype(reply)>>(reply);
}

struct TAtoms {
  xcb_atom_t active = 0, clientStacking = 0, frameExtents = 0, state = 0, hidden = 0, fullScreen = 0,
             type = 0, typeNormal = 0, pid = 0;
};

const TAtoms& Atoms(xcb_connection_t* connection) {
  static TAtoms atoms;
  static bool interned = false;
  if (interned) return atoms;
  const std::pair<xcb_atom_t*, const char*> names[] = {
      {&atoms.active, "_NET_ACTIVE_WINDOW"},
      {&atoms.clientStacking, "_NET_CLIENT_LIST_STACKING"},
      {&atoms.frameExtents, "_NET_FRAME_EXTENTS"},
      {&atoms.state, "_NET_WM_STATE"},
      {&atoms.hidden, "_NET_WM_STATE_HIDDEN"},
      {&atoms.fullScreen, "_NET_WM_STATE_FULLSCREEN"},
      {&atoms.type, "_NET_WM_WINDOW_TYPE"},
      {&atoms.typeNormal, "_NET_WM_WINDOW_TYPE_NORMAL"},
      {&atoms.pid, "_NET_WM_PID"},
  };
  std::vector<xcb_intern_atom_cookie_t> cookies;
  for (const auto& [atom, name] : names)
    cookies.push_back(xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
  for (std::size_t i = 0; i < cookies.size(); ++i)
    if (const auto reply = Answer(connection, xcb_intern_atom_reply, cookies[i]))
      *names[i].first = reply->atom;
  interned = true;
  return atoms;
}

// A property of 32-bit items, at most `most` of them.
std::vector<std::uint32_t> Items(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                                 xcb_atom_t type, std::uint32_t most) {
  const auto reply = Answer(connection, xcb_get_property_reply,
                            xcb_get_property(connection, 0, window, property, type, 0, most));
  if (!reply || reply->format != 32) return {};
  const auto* items = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
  const int count = std::min(xcb_get_property_value_length(reply.get()) / 4, static_cast<int>(most));
  return {items, items + std::max(count, 0)};
}

bool Has(const std::vector<std::uint32_t>& items, std::uint32_t item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

// The top-level window (a child of the root) that holds the window: the
// manager's frame, or the window itself where there is none.
xcb_window_t TopLevel(xcb_connection_t* connection, xcb_window_t window, xcb_window_t root) {
  for (int depth = 0; depth < 8 && window != root; ++depth) {
    const auto tree = Answer(connection, xcb_query_tree_reply, xcb_query_tree(connection, window));
    if (!tree) return XCB_WINDOW_NONE;
    if (tree->parent == root) return window;
    window = tree->parent;
  }
  return XCB_WINDOW_NONE;
}

}  // namespace

bool TDesktopWindows::Available() { return Connection() != nullptr; }

double TDesktopWindows::DeviceRatio() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr && screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1.0;
}

std::optional<TWindowId> TDesktopWindows::Active() {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return std::nullopt;
  const auto items = Items(connection, Root(connection), Atoms(connection).active, XCB_ATOM_WINDOW, 1);
  if (items.empty() || items.front() == XCB_WINDOW_NONE) return std::nullopt;
  return items.front();
}

std::vector<TWindowId> TDesktopWindows::Candidates() {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return {};
  const xcb_window_t root = Root(connection);
  std::vector<TWindowId> windows =
      Items(connection, root, Atoms(connection).clientStacking, XCB_ATOM_WINDOW, MaxCandidates);
  if (windows.empty()) {
    // No manager lists its clients: the root's children are the windows.
    const auto tree = Answer(connection, xcb_query_tree_reply, xcb_query_tree(connection, root));
    if (tree) {
      const xcb_window_t* children = xcb_query_tree_children(tree.get());
      const int count = std::min(xcb_query_tree_children_length(tree.get()), MaxCandidates);
      windows.assign(children, children + count);
    }
  }
  std::reverse(windows.begin(), windows.end());  // topmost first
  std::erase_if(windows, [](TWindowId window) { return !Qualifies(window); });
  return windows;
}

bool TDesktopWindows::Qualifies(TWindowId window) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr || window == XCB_WINDOW_NONE) return false;
  const TAtoms& atoms = Atoms(connection);
  const auto attributesCookie = xcb_get_window_attributes(connection, window);
  const auto typeCookie = xcb_get_property(connection, 0, window, atoms.type, XCB_ATOM_ATOM, 0, 16);
  const auto pidCookie = xcb_get_property(connection, 0, window, atoms.pid, XCB_ATOM_CARDINAL, 0, 1);
  const auto attributes = Answer(connection, xcb_get_window_attributes_reply, attributesCookie);
  const auto type = Answer(connection, xcb_get_property_reply, typeCookie);
  const auto pid = Answer(connection, xcb_get_property_reply, pidCookie);
  if (!attributes || attributes->override_redirect || attributes->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT)
    return false;
  if (pid && pid->format == 32 && xcb_get_property_value_length(pid.get()) >= 4 &&
      *static_cast<const std::uint32_t*>(xcb_get_property_value(pid.get())) ==
          static_cast<std::uint32_t>(::getpid()))
    return false;
  // Without a type a managed window counts as normal; with one, only the
  // normal type does (its first, preferred, entry).
  if (type && type->format == 32 && xcb_get_property_value_length(type.get()) >= 4)
    return *static_cast<const xcb_atom_t*>(xcb_get_property_value(type.get())) == atoms.typeNormal;
  return true;
}

TWindowState TDesktopWindows::State(TWindowId window) {
  TWindowState state;
  xcb_connection_t* connection = Connection();
  if (connection == nullptr || window == XCB_WINDOW_NONE) return state;
  const xcb_window_t root = Root(connection);
  const TAtoms& atoms = Atoms(connection);
  const auto geometryCookie = xcb_get_geometry(connection, window);
  const auto placeCookie = xcb_translate_coordinates(connection, window, root, 0, 0);
  const auto attributesCookie = xcb_get_window_attributes(connection, window);
  const auto extentsCookie =
      xcb_get_property(connection, 0, window, atoms.frameExtents, XCB_ATOM_CARDINAL, 0, 4);
  const auto stateCookie = xcb_get_property(connection, 0, window, atoms.state, XCB_ATOM_ATOM, 0, 32);
  const auto geometry = Answer(connection, xcb_get_geometry_reply, geometryCookie);
  const auto place = Answer(connection, xcb_translate_coordinates_reply, placeCookie);
  const auto attributes = Answer(connection, xcb_get_window_attributes_reply, attributesCookie);
  const auto extents = Answer(connection, xcb_get_property_reply, extentsCookie);
  const auto netState = Answer(connection, xcb_get_property_reply, stateCookie);
  if (!geometry || !place || !attributes) return state;
  state.exists = true;
  std::vector<std::uint32_t> states;
  if (netState && netState->format == 32) {
    const auto* items = static_cast<const std::uint32_t*>(xcb_get_property_value(netState.get()));
    states.assign(items, items + std::max(xcb_get_property_value_length(netState.get()) / 4, 0));
  }
  state.shown = attributes->map_state == XCB_MAP_STATE_VIEWABLE && !Has(states, atoms.hidden);
  state.fullScreen = Has(states, atoms.fullScreen);
  // The window's own area is inside its border.
  QRect frame(place->dst_x, place->dst_y, geometry->width, geometry->height);
  if (extents && extents->format == 32 && xcb_get_property_value_length(extents.get()) >= 16) {
    const auto* e = static_cast<const std::uint32_t*>(xcb_get_property_value(extents.get()));
    // Extents beyond any screen are nonsense from a broken manager: ignored.
    constexpr std::uint32_t Most = 4096;
    if (e[0] < Most && e[1] < Most && e[2] < Most && e[3] < Most)
      frame.adjust(-static_cast<int>(e[0]), -static_cast<int>(e[2]), static_cast<int>(e[1]),
                   static_cast<int>(e[3]));
  }
  state.frame = frame;
  return state;
}

bool TDesktopWindows::Watch(TWindowId window) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return false;
  const auto mask = [connection](xcb_window_t w) -> std::uint32_t {
    const auto attributes =
        Answer(connection, xcb_get_window_attributes_reply, xcb_get_window_attributes(connection, w));
    return attributes ? attributes->your_event_mask : 0;
  };
  // Added to what this program (Qt, the character's windows) selects
  // already: the masks are per client, and Qt shares this connection.
  const xcb_window_t root = Root(connection);
  if (const std::uint32_t rootMask = mask(root); !(rootMask & XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY)) {
    const std::uint32_t value = rootMask | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &value);
  }
  const std::uint32_t old = mask(window);
  const bool added = !(old & XCB_EVENT_MASK_STRUCTURE_NOTIFY);
  if (added) {
    const std::uint32_t value = old | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &value);
  }
  xcb_flush(connection);
  return added;
}

void TDesktopWindows::Unwatch(TWindowId window, bool added) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr || !added) return;
  const auto attributes =
      Answer(connection, xcb_get_window_attributes_reply, xcb_get_window_attributes(connection, window));
  if (!attributes) return;  // gone
  const std::uint32_t value = attributes->your_event_mask & ~std::uint32_t{XCB_EVENT_MASK_STRUCTURE_NOTIFY};
  xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &value);
  xcb_flush(connection);
}

bool TDesktopWindows::Concerns(const void* message, TWindowId window) {
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  // Synthetic reports (the manager's word on a move) count as real ones.
  switch (event->response_type & 0x7f) {
    case XCB_CONFIGURE_NOTIFY: {
      const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
      return configure->window == window || !configure->override_redirect;
    }
    case XCB_MAP_NOTIFY: {
      const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
      return map->window == window || !map->override_redirect;
    }
    case XCB_UNMAP_NOTIFY: return true;
    case XCB_DESTROY_NOTIFY:
      return reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == window;
    default: return false;
  }
}

bool TDesktopWindows::CoveredAt(TWindowId window, QRect spot) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return false;
  const xcb_window_t root = Root(connection);
  const xcb_window_t top = TopLevel(connection, window, root);
  if (top == XCB_WINDOW_NONE) return false;
  const auto tree = Answer(connection, xcb_query_tree_reply, xcb_query_tree(connection, root));
  if (!tree) return false;
  const xcb_window_t* children = xcb_query_tree_children(tree.get());  // bottom first
  const int count = xcb_query_tree_children_length(tree.get());
  int index = count;
  for (int i = 0; i < count; ++i)
    if (children[i] == top) index = i;
  struct TAbove {
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
  };
  std::vector<TAbove> above;
  for (int i = index + 1; i < count; ++i)
    above.push_back(
        {xcb_get_window_attributes(connection, children[i]), xcb_get_geometry(connection, children[i])});
  bool covered = false;
  for (const TAbove& cookies : above) {
    const auto attributes = Answer(connection, xcb_get_window_attributes_reply, cookies.attributes);
    const auto geometry = Answer(connection, xcb_get_geometry_reply, cookies.geometry);
    // Windows that bypass the manager (the bird's own, menus, tooltips)
    // come and go over everything: they cover nothing for long.
    if (!attributes || !geometry || attributes->override_redirect ||
        attributes->map_state != XCB_MAP_STATE_VIEWABLE)
      continue;
    const QRect rect(geometry->x, geometry->y, geometry->width + 2 * geometry->border_width,
                     geometry->height + 2 * geometry->border_width);
    covered = covered || rect.intersects(spot);
  }
  return covered;
}

}  // namespace perch
