// Kept apart: the X11 headers define macros that clash with other code.
#include "Compositor.h"

#include <QGuiApplication>
#include <QRegion>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <string>
#include <vector>

bool CompositorRunning() {
  if (QGuiApplication::platformName() != "xcb") return false;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return false;
  xcb_connection_t* connection = x11->connection();
  // The screen number is the part of DISPLAY after the dot, 0 by default.
  int screen = 0;
  if (const char* display = std::getenv("DISPLAY")) {
    const std::string name(display);
    const auto colon = name.rfind(':');
    const auto dot = name.find('.', colon == std::string::npos ? 0 : colon);
    if (dot != std::string::npos) screen = std::atoi(name.c_str() + dot + 1);
  }
  const std::string atomName = "_NET_WM_CM_S" + std::to_string(screen);
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, atomName.size(), atomName.c_str()), nullptr);
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
  if (QGuiApplication::platformName() != "xcb") return false;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  Display* display = x11 ? x11->display() : nullptr;
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

bool SetWindowShape(QWidget& window, const QRegion& region) { return SetShape(window, region, ShapeBounding); }
