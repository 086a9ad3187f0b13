#pragma once
// Whether the companion's game window ("Perch — Chess", window role
// perch-game) is on screen, read from the X server. The companion reports
// the end of a game only after the random activity that its "Exit" (or the
// window's close box) starts, up to two minutes later; the window itself
// goes at once.

#include <cstdint>

namespace perch {

class TGameWindowWatch {
 public:
  enum class TState {
    Unknown,  // not found (yet), or no X server to ask
    Shown,    // mapped, or minimized by the window manager
    Gone,     // found before, now withdrawn or destroyed
  };

  // Looks for the window until it is found, then follows that window.
  TState Look();
  // A new game: the window is looked for afresh.
  void Forget() { window_ = 0; }

 private:
  std::uint32_t window_ = 0;
};

}  // namespace perch
