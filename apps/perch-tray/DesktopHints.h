#pragma once
// Hints to an EWMH window manager about perch-tray's own small windows, on
// the X platform; elsewhere they do nothing.

class QWidget;

namespace perch {

// Asks that a top-level window be on every workspace (_NET_WM_DESKTOP
// 0xFFFFFFFF, _NET_WM_STATE_STICKY), kept above the others and left out of
// taskbars and pagers. Before the window is shown the hints are its
// properties, which the window manager reads when it maps the window;
// after, they are requests to the window manager.
void KeepOnEveryWorkspace(QWidget* window);

}  // namespace perch
