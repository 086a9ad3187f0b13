#pragma once
// What the bird is doing, as far as the controller can tell: the routines it
// asked for whose notice 20 has not come yet. The companion runs a request
// that arrives during another routine nested inside it, so routines end in
// the reverse order of their requests and each notice 20 closes the latest
// one. Notices nobody asked for (the chessboard's "Exit" posts two) close
// what is open and are otherwise ignored.

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
  // The companion (re)started or went away: nothing of it runs any more.
  void Clear() { open_.clear(); }

  bool Running() const { return !open_.empty(); }
  bool GameOpen() const;
  // The routine the bird is in now (the innermost), if any.
  std::optional<int> Current() const;

 private:
  std::vector<int> open_;
};

}  // namespace perch
