// Kept apart: the X11 headers define macros that clash with other code.
#include "agent/Compositor.h"

#include <QGuiApplication>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace perch {

namespace {

Display* XDisplay() {
  if (QGuiApplication::platformName() != "xcb") return nullptr;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->display() : nullptr;
}

// The selection a compositing manager owns on the screen of DISPLAY (the
// part after the dot, 0 by default).
std::string CompositorSelection() {
  int screen = 0;
  if (const char* display = std::getenv("DISPLAY")) {
    const std::string name(display);
    const auto colon = name.rfind(':');
    const auto dot = name.find('.', colon == std::string::npos ? 0 : colon);
    if (dot != std::string::npos) screen = std::atoi(name.c_str() + dot + 1);
  }
  return "_NET_WM_CM_S" + std::to_string(screen);
}

// Long enough for the compositor to have taken the first map.
constexpr int MapAgainDelayMs = 150;

}  // namespace

bool CompositorRunning() {
  if (QGuiApplication::platformName() != "xcb") return false;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return false;
  xcb_connection_t* connection = x11->connection();
  const std::string atomName = CompositorSelection();
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(atomName.size()), atomName.c_str()),
      nullptr);
  if (!atom) return false;
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
  const bool running = owner && owner->owner != XCB_WINDOW_NONE;
  std::free(owner);
  std::free(atom);
  return running;
}

bool UseTranslucentWindows() {
  if (QGuiApplication::platformName() == "xcb") return CompositorRunning();
  return true;
}

namespace {
bool SetShape(QWidget& window, const QRegion& region, int kind) {
  Display* display = XDisplay();
  if (!display) return false;
  std::vector<XRectangle> rectangles;
  for (const QRect& r : region)
    rectangles.push_back({short(r.x()), short(r.y()), static_cast<unsigned short>(r.width()),
                          static_cast<unsigned short>(r.height())});
  XShapeCombineRectangles(display, static_cast<::Window>(window.winId()), kind, 0, 0, rectangles.data(),
                          int(rectangles.size()), ShapeSet, Unsorted);
  XFlush(display);
  return true;
}
}  // namespace

bool SetInputRegion(QWidget& window, const QRegion& region) { return SetShape(window, region, ShapeInput); }

bool SetWindowShape(QWidget& window, const QRegion& region) {
  return SetShape(window, region, ShapeBounding);
}

bool ClearWindowShape(QWidget& window) {
  Display* display = XDisplay();
  if (!display) return false;
  XShapeCombineMask(display, static_cast<::Window>(window.winId()), ShapeBounding, 0, 0, None, ShapeSet);
  XFlush(display);
  return true;
}

void AskForNoShadow(QWidget& window) {
  Display* display = XDisplay();
  if (!display) return;
  const auto id = static_cast<::Window>(window.winId());
  const long noShadow = 0;
  XChangeProperty(display, id, XInternAtom(display, "_COMPTON_SHADOW", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&noShadow), 1);
  // The window bypasses the window manager, so its type only speaks to
  // compositors.
  const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE_NOTIFICATION", False);
  XChangeProperty(display, id, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&type), 1);
  XFlush(display);
}

void MapAgainUnderCompositor(QWidget& window) {
  if (!XDisplay() || !TCompositorWatch::Instance().Running()) return;
  QTimer::singleShot(MapAgainDelayMs, &window, [&window] {
    Display* display = XDisplay();
    if (!display || !window.isVisible()) return;
    const auto id = static_cast<::Window>(window.winId());
    XUnmapWindow(display, id);
    XMapWindow(display, id);
    XFlush(display);
  });
}

TCompositorWatch& TCompositorWatch::Instance() {
  static auto* watch = new TCompositorWatch;  // lives as long as the application's event loop
  return *watch;
}

TCompositorWatch::TCompositorWatch() : QObject(qApp), running_(CompositorRunning()) {
  Display* display = XDisplay();
  int eventBase = 0, errorBase = 0;
  if (!display || !XFixesQueryExtension(display, &eventBase, &errorBase)) return;
  selectionEvent_ = eventBase + XFixesSelectionNotify;
  XFixesSelectSelectionInput(display, DefaultRootWindow(display),
                             XInternAtom(display, CompositorSelection().c_str(), False),
                             XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                 XFixesSelectionClientCloseNotifyMask);
  XFlush(display);
  qApp->installNativeEventFilter(this);
}

bool TCompositorWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (selectionEvent_ < 0 || eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != selectionEvent_) return false;
  // Any selection's owner may have changed (the clipboard's too): ask anew.
  const bool running = CompositorRunning();
  if (running != running_) {
    running_ = running;
    emit Changed(running);
  }
  return false;  // Qt follows selections of its own
}

}  // namespace perch
