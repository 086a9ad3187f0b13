#include "apps/perch-tray/GameWindowWatch.h"

#include "platform/XcbReply.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <string_view>
#include <vector>

namespace perch {

namespace {

constexpr std::string_view GameRole = "perch-game";
// ICCCM's WM_STATE value of a minimized window.
constexpr std::uint32_t IconicState = 3;
// Top-level windows and their children looked at, at most: a desktop has a
// few hundred.
constexpr std::size_t MaxWindows = 4096;

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

std::vector<xcb_window_t> Children(xcb_connection_t* connection, xcb_window_t parent) {
  TXcbReply<xcb_query_tree_reply_t> tree(
      xcb_query_tree_reply(connection, xcb_query_tree(connection, parent), nullptr));
  if (!tree) return {};
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  return {children, children + xcb_query_tree_children_length(tree.get())};
}

// The windows among `windows` whose role is the game's and that are mapped;
// the requests go out together, then the replies are read.
xcb_window_t FindShownGame(xcb_connection_t* connection, const std::vector<xcb_window_t>& windows,
                           xcb_atom_t role) {
  std::vector<xcb_get_property_cookie_t> cookies;
  cookies.reserve(windows.size());
  for (const xcb_window_t window : windows) {
    cookies.push_back(xcb_get_property(connection, 0, window, role, XCB_ATOM_STRING, 0, 16));
  }
  xcb_window_t found = XCB_WINDOW_NONE;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    TXcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookies[i], nullptr));
    if (found != XCB_WINDOW_NONE || !reply || reply->format != 8) continue;
    const std::string_view value(static_cast<const char*>(xcb_get_property_value(reply.get())),
                                 static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    if (value != GameRole) continue;
    TXcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, windows[i]), nullptr));
    if (attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED) found = windows[i];
  }
  return found;
}

bool Minimized(xcb_connection_t* connection, xcb_window_t window) {
  const xcb_atom_t wmState = InternAtom(connection, "WM_STATE");
  TXcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, wmState, wmState, 0, 1), nullptr));
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) return false;
  return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())) == IconicState;
}

}  // namespace

TGameWindowWatch::TState TGameWindowWatch::Look() {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return TState::Unknown;
  if (window_ != 0) {
    TXcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window_), nullptr));
    // A window on another workspace is mapped, if not viewable.
    if (attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED) return TState::Shown;
    if (attributes && Minimized(connection, window_)) return TState::Shown;
    window_ = 0;
    return TState::Gone;
  }
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (screen == nullptr) return TState::Unknown;
  const xcb_atom_t role = InternAtom(connection, "WM_WINDOW_ROLE");
  if (role == XCB_ATOM_NONE) return TState::Unknown;
  // Without a window manager the game window is the root's child; with one
  // it is a child of the manager's frame.
  std::vector<xcb_window_t> windows = Children(connection, screen->root);
  if (windows.size() > MaxWindows) windows.resize(MaxWindows);
  std::vector<xcb_query_tree_cookie_t> trees;
  trees.reserve(windows.size());
  for (const xcb_window_t window : windows) trees.push_back(xcb_query_tree(connection, window));
  for (const xcb_query_tree_cookie_t cookie : trees) {
    TXcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(connection, cookie, nullptr));
    if (!tree) continue;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = 0; i < count && windows.size() < MaxWindows; ++i) windows.push_back(children[i]);
  }
  window_ = FindShownGame(connection, windows, role);
  return window_ != 0 ? TState::Shown : TState::Unknown;
}

}  // namespace perch
