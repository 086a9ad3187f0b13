#include "apps/perch-tray/FullScreenCheck.h"

#include "platform/XcbReply.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace perch {

namespace {

// The 32-bit values of a property, at most `maxValues` of them. Any type is
// taken: tools and window managers do not all set the one EWMH names.
template <typename Visit>
void ReadValues(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, uint32_t maxValues,
                Visit visit) {
  const auto cookie =
      xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, maxValues);
  TXcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
  if (!reply || reply->format != 32) return;
  const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  const int count = xcb_get_property_value_length(reply.get()) / 4;
  for (int i = 0; i < count; ++i) visit(values[i]);
}

}  // namespace

bool ActiveWindowIsFullScreen() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (connection == nullptr) return false;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (screen == nullptr) return false;

  xcb_window_t active = XCB_WINDOW_NONE;
  ReadValues(connection, screen->root, InternAtom(connection, "_NET_ACTIVE_WINDOW", true), 1,
             [&](uint32_t value) { active = value; });
  if (active == XCB_WINDOW_NONE) return false;

  const xcb_atom_t fullScreen = InternAtom(connection, "_NET_WM_STATE_FULLSCREEN", true);
  if (fullScreen == XCB_ATOM_NONE) return false;
  bool found = false;
  ReadValues(connection, active, InternAtom(connection, "_NET_WM_STATE", true), 64,
             [&](uint32_t value) { found = found || value == fullScreen; });
  return found;
}

}  // namespace perch
