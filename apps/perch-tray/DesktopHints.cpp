#include "apps/perch-tray/DesktopHints.h"

#include "platform/XcbReply.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace perch {

namespace {

// EWMH's "all desktops" value of _NET_WM_DESKTOP.
constexpr std::uint32_t AllWorkspaces = 0xFFFFFFFFu;
constexpr std::uint32_t NetWmStateAdd = 1;
constexpr std::uint32_t SourceApplication = 1;
// At most this many states are read back from a window.
constexpr std::uint32_t MaxStates = 64;

// A client message to the root window about `window`, as EWMH asks for
// changes to a mapped window.
void SendToRoot(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                const std::uint32_t (&data)[5]) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = type;
  std::copy(std::begin(data), std::end(data), event.data.data32);
  xcb_send_event(connection, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
}

}  // namespace

void KeepOnEveryWorkspace(QWidget* window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (connection == nullptr || window == nullptr) return;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (screen == nullptr) return;
  const auto id = static_cast<xcb_window_t>(window->winId());
  const xcb_atom_t desktop = InternAtom(connection, "_NET_WM_DESKTOP");
  const xcb_atom_t state = InternAtom(connection, "_NET_WM_STATE");
  const xcb_atom_t wanted[] = {
      InternAtom(connection, "_NET_WM_STATE_STICKY"),
      InternAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
      InternAtom(connection, "_NET_WM_STATE_SKIP_PAGER"),
      InternAtom(connection, "_NET_WM_STATE_ABOVE"),
  };

  if (!window->isVisible()) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1,
                        &AllWorkspaces);
    // Added to the states already there (Qt's own, written when it maps the
    // window, are merged the same way).
    std::vector<xcb_atom_t> states;
    const auto cookie = xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, MaxStates);
    TXcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
    if (reply && reply->format == 32) {
      const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
      states.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
    for (const xcb_atom_t atom : wanted) {
      if (std::find(states.begin(), states.end(), atom) == states.end()) states.push_back(atom);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());
  } else {
    SendToRoot(connection, screen->root, id, desktop, {AllWorkspaces, SourceApplication, 0, 0, 0});
    SendToRoot(connection, screen->root, id, state,
               {NetWmStateAdd, wanted[0], wanted[1], SourceApplication, 0});
    SendToRoot(connection, screen->root, id, state,
               {NetWmStateAdd, wanted[2], wanted[3], SourceApplication, 0});
  }
  xcb_flush(connection);
}

}  // namespace perch
