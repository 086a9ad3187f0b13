#include "apps/common/WindowManagerRequests.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace perch {

namespace {

// The requests of the Extended Window Manager Hints that name a client
// window and that Qt does not silence itself, and KDE's iconify request
// (which openbox takes too).
constexpr const char* RequestNames[] = {
    "_NET_CLOSE_WINDOW",           "_NET_MOVERESIZE_WINDOW",     "_NET_WM_MOVERESIZE",
    "_NET_RESTACK_WINDOW",         "_NET_REQUEST_FRAME_EXTENTS", "_NET_WM_DESKTOP",
    "_NET_WM_FULLSCREEN_MONITORS", "_KDE_WM_CHANGE_STATE",
};

}  // namespace

TWindowManagerRequests::TWindowManagerRequests() {
  auto* x11 = qGuiApp == nullptr ? nullptr : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 == nullptr ? nullptr : x11->connection();
  if (connection == nullptr) return;
  std::vector<xcb_intern_atom_cookie_t> cookies;
  for (const char* name : RequestNames) {
    cookies.push_back(xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
  }
  for (const auto& cookie : cookies) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    if (reply != nullptr && reply->atom != XCB_ATOM_NONE) atoms_.push_back(reply->atom);
  }
}

bool TWindowManagerRequests::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (atoms_.empty() || eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
  const auto* client = static_cast<const xcb_client_message_event_t*>(message);
  return std::find(atoms_.begin(), atoms_.end(), client->type) != atoms_.end();
}

void TWindowManagerRequests::Install() {
  if (qGuiApp == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) return;
  static TWindowManagerRequests filter;
  qGuiApp->installNativeEventFilter(&filter);
}

}  // namespace perch
