#include "companion/WindowActivation.h"

#include "platform/XcbReply.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdint>

namespace perch {

namespace {

// EWMH's source indication of a pager, which acts for the user.
constexpr std::uint32_t SourcePager = 2;

}  // namespace

void ActivateAsAskedFor(QWidget* window) {
  if (window == nullptr) return;
  window->raise();
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (connection == nullptr) return;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (screen == nullptr) return;
  const xcb_atom_t activeWindow = InternAtom(connection, "_NET_ACTIVE_WINDOW");
  if (activeWindow == XCB_ATOM_NONE) return;

  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = static_cast<xcb_window_t>(window->winId());
  event.type = activeWindow;
  event.data.data32[0] = SourcePager;
  event.data.data32[1] = XCB_CURRENT_TIME;
  event.data.data32[2] = XCB_WINDOW_NONE;
  xcb_send_event(connection, 0, screen->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection);
}

}  // namespace perch
