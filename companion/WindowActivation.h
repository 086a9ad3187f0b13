#pragma once
// Bringing one of the companion's windows to the front because the user
// asked for it, on the X platform.

class QWidget;

namespace perch {

// Raises `window` and asks the window manager to activate it as it would a
// window the user picked in a pager (EWMH _NET_ACTIVE_WINDOW with source
// indication 2): managers that keep a window from stealing the focus
// (source 1) then stack it below the active one and only flag it. The
// window must be mapped. Without an X server it only raises the window.
void ActivateAsAskedFor(QWidget* window);

}  // namespace perch
