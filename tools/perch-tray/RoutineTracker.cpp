#include "tools/perch-tray/RoutineTracker.h"

#include "tools/perch-tray/RequestCodes.h"

#include <algorithm>

namespace perch {

void TRoutineTracker::Requested(int request) {
  if (!StartsRoutine(request)) return;
  if (open_.size() >= MaxOpen) open_.erase(open_.begin());
  open_.push_back(request);
}

bool TRoutineTracker::Ended() {
  if (open_.empty()) return false;
  open_.pop_back();
  return open_.empty();
}

bool TRoutineTracker::GameOpen() const {
  return std::find(open_.begin(), open_.end(), RequestChess) != open_.end();
}

std::optional<int> TRoutineTracker::Current() const {
  if (open_.empty()) return std::nullopt;
  return open_.back();
}

}  // namespace perch
