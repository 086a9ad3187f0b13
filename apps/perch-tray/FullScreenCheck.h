#pragma once
// Whether the user's active window is full screen (EWMH: the root window's
// _NET_ACTIVE_WINDOW carries _NET_WM_STATE_FULLSCREEN). False where it cannot
// be told: no X11 connection, no EWMH window manager, no active window.

namespace perch {

bool ActiveWindowIsFullScreen();

}  // namespace perch
