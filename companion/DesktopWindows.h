#pragma once
// What the bird may perch on: the other programs' windows as the X server
// and the window manager (EWMH) tell them. Every call asks the server anew
// and answers from one round of requests; off X11 (Wayland, offscreen)
// there are no windows. Rectangles are in the display's own pixels.

#include <QRect>

#include <cstdint>
#include <optional>
#include <vector>

namespace perch {

using TWindowId = std::uint32_t;

// One window as the bird sees it.
struct TWindowState {
  bool exists = false;      // not destroyed
  bool shown = false;       // mapped and not minimised
  bool fullScreen = false;  // _NET_WM_STATE_FULLSCREEN
  QRect frame;              // the frame on the root (the window's own area without extents)
};

class TDesktopWindows {
 public:
  // Whether the program runs on an X server (XWayland included).
  static bool Available();

  // The window to perch on: the active one when it is a shown normal window
  // of another program, else the topmost such window for which `fits` holds.
  // Docks, desktops, menus, dialogs and this program's own windows (by
  // _NET_WM_PID, and windows that bypass the manager) never qualify.
  template <typename TFits>
  static std::optional<TWindowId> Choose(TFits fits);

  static TWindowState State(TWindowId window);
  // Whether a shown window of another program stands above the window's
  // frame and over `spot`.
  static bool CoveredAt(TWindowId window, QRect spot);

  // The pixels of the display per pixel of the desktop as Qt lays it out.
  static double DeviceRatio();

  // Has the server report the window's own changes (moves, sizes, unmaps,
  // destruction) and the top-level windows' (restacks) to this program;
  // true when the window's reports were not asked for before. Unwatch with
  // that answer gives them up again.
  static bool Watch(TWindowId window);
  static void Unwatch(TWindowId window, bool added);
  // Whether an event of the X connection (xcb_generic_event_t) may change
  // where the bird stands on the window: one of its own, or a managed
  // top-level window moved, restacked, shown or hidden.
  static bool Concerns(const void* event, TWindowId window);

 private:
  static std::optional<TWindowId> Active();
  // Normal windows of other programs, topmost first (at most MaxCandidates).
  static std::vector<TWindowId> Candidates();
  static bool Qualifies(TWindowId window);
};

// Bounds what a hostile or broken client list can make us read.
inline constexpr int MaxCandidates = 256;

template <typename TFits>
std::optional<TWindowId> TDesktopWindows::Choose(TFits fits) {
  if (!Available()) return std::nullopt;
  if (const auto active = Active(); active && Qualifies(*active)) {
    const TWindowState state = State(*active);
    if (state.shown && !state.fullScreen && fits(state.frame)) return active;
  }
  for (const TWindowId window : Candidates()) {
    const TWindowState state = State(window);
    if (state.shown && !state.fullScreen && fits(state.frame)) return window;
  }
  return std::nullopt;
}

}  // namespace perch
