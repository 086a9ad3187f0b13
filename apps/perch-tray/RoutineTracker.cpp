#include "apps/perch-tray/RoutineTracker.h"

#include "apps/perch-tray/RequestCodes.h"

#include <algorithm>

namespace perch {

void TRoutineTracker::Requested(int request) {
  if (!StartsRoutine(request)) return;
  if (open_.size() >= MaxOpen) open_.erase(open_.begin());
  open_.push_back({request, false});
}

bool TRoutineTracker::Ended() {
  if (open_.empty()) return false;
  open_.pop_back();
  return open_.empty();
}

void TRoutineTracker::Clicked() {
  for (TOpen& routine : open_) {
    if (routine.request != RequestChess) routine.left = true;
  }
}

void TRoutineTracker::GameClosed() {
  const auto game = std::find_if(open_.rbegin(), open_.rend(),
                                 [](const TOpen& routine) { return routine.request == RequestChess; });
  if (game == open_.rend()) return;
  // "Exit" runs inside the innermost routine's wait, so its activity ends
  // first.
  open_.erase(std::next(game).base());
  open_.push_back({RequestRandom, false});
}

bool TRoutineTracker::GameOpen() const {
  return std::any_of(open_.begin(), open_.end(),
                     [](const TOpen& routine) { return routine.request == RequestChess; });
}

std::optional<int> TRoutineTracker::Current() const {
  for (auto routine = open_.rbegin(); routine != open_.rend(); ++routine) {
    if (!routine->left) return routine->request;
  }
  return std::nullopt;
}

}  // namespace perch
