#include "agent/StayOnTop.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace perch {

namespace {
constexpr int GatherMs = 100;  // at most ten raises a second
}

TStayOnTop::TStayOnTop(const std::vector<QWidget*>& windows) {
  for (QWidget* window : windows) windows_.emplace_back(window);
  raiseTimer_.setSingleShot(true);
  raiseTimer_.setInterval(GatherMs);
  connect(&raiseTimer_, &QTimer::timeout, this, &TStayOnTop::RaiseAll);
  if (QGuiApplication::platformName() != "xcb") return;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return;
  const ::Window root = DefaultRootWindow(display);
  root_ = static_cast<unsigned>(root);
  // Added to what Qt already selects on the root window (the masks are per
  // client, and Qt shares this connection).
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, root, &attributes)) return;
  XSelectInput(display, root, attributes.your_event_mask | SubstructureNotifyMask);
  XFlush(display);
  qApp->installNativeEventFilter(this);
}

TStayOnTop::~TStayOnTop() {
  if (root_ != 0) qApp->removeNativeEventFilter(this);
}

bool TStayOnTop::Ours(unsigned window) const {
  for (const QPointer<QWidget>& ours : windows_)
    if (ours && ours->internalWinId() == window) return true;
  return false;
}

bool TStayOnTop::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (root_ == 0 || eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  xcb_window_t parent = 0, window = 0;
  switch (event->response_type & 0x7f) {
    case XCB_CONFIGURE_NOTIFY: {
      const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
      parent = configure->event;
      window = configure->window;
      break;
    }
    case XCB_MAP_NOTIFY: {
      const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
      parent = map->event;
      window = map->window;
      break;
    }
    default: return false;
  }
  if (parent != root_ || window == root_) return false;  // Qt's own events
  if (!Ours(window) && !raiseTimer_.isActive()) raiseTimer_.start();
  return !Ours(window);  // reports on other programs' windows are only ours to read
}

void TStayOnTop::RaiseAll() {
  for (const QPointer<QWidget>& window : windows_)
    if (window && window->isVisible()) window->raise();
}

}  // namespace perch
