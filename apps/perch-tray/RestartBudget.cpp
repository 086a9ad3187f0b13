#include "apps/perch-tray/RestartBudget.h"

namespace perch {

bool TRestartBudget::TryRestart(TTime now) {
  while (!restarts_.empty() && now - restarts_.front() >= window_) restarts_.pop_front();
  if (static_cast<int>(restarts_.size()) >= maxRestarts_) return false;
  restarts_.push_back(now);
  return true;
}

}  // namespace perch
