#pragma once
// What the bird is doing, as far as the controller can tell: the routines it
// asked for whose notice 20 has not come yet. The companion runs a request
// that arrives during another routine nested inside it, so routines end in
// the reverse order of their requests and each notice 20 closes the latest
// one. Notices nobody asked for (the chessboard's "Exit" posts two) close
// what is open and are otherwise ignored.
//
// What the user sees can change before a routine's notice comes: a click on
// the bird stops what it plays (notice 41), and the game's window goes away
// at "Exit" or its close box while the random activity that follows still
// holds the notices back. The tracker keeps such routines open, as the
// companion still runs them, but no longer names them as what the bird does.

#include <cstddef>
#include <optional>
#include <vector>

namespace perch {

class TRoutineTracker {
 public:
  // More open routines than this means notices are being lost; the oldest
  // is forgotten rather than growing without bound.
  static constexpr std::size_t MaxOpen = 32;

  // A routine request was delivered to the companion.
  void Requested(int request);
  // Notice 20 arrived. Returns true when this ended the last open routine.
  bool Ended();
  // Notice 41: the bird stopped its animations to answer a click. Every open
  // routine but a game is left for the rest of its wait.
  void Clicked();
  // The game's window went away: the game is over, and the random activity
  // its "Exit" starts runs in its place until the two notices of "Exit".
  void GameClosed();
  // The companion (re)started or went away: nothing of it runs any more.
  void Clear() { open_.clear(); }

  bool Running() const { return !open_.empty(); }
  bool GameOpen() const;
  // The routine the bird is visibly in now (the innermost one it has not
  // left), if any.
  std::optional<int> Current() const;

 private:
  struct TOpen {
    int request;
    bool left;  // interrupted by a click: still open, no longer to be seen
  };
  std::vector<TOpen> open_;
};

}  // namespace perch
