#include "companion/WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace perch {

namespace {

// EWMH's source indication of a pager, which acts for the user.
constexpr std::uint32_t SourcePager = 2;

struct TFree {
  void operator()(void* p) const { std::free(p); }
};

}  // namespace

void ActivateAsAskedFor(QWidget* window) {
  if (window == nullptr) return;
  window->raise();
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (connection == nullptr) return;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (screen == nullptr) return;
  static constexpr char Name[] = "_NET_ACTIVE_WINDOW";
  std::unique_ptr<xcb_intern_atom_reply_t, TFree> atom(
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof Name - 1, Name), nullptr));
  if (!atom) return;

  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = static_cast<xcb_window_t>(window->winId());
  event.type = atom->atom;
  event.data.data32[0] = SourcePager;
  event.data.data32[1] = XCB_CURRENT_TIME;
  event.data.data32[2] = XCB_WINDOW_NONE;
  xcb_send_event(connection, 0, screen->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection);
}

}  // namespace perch
