#include "chess/engine/SearchPriority.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace perch {

namespace {

std::atomic<bool> raiseRefusalTold{false};

int ProcessNice() {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));  // the main thread's
  return errno == 0 ? nice : 0;
}

bool SetPolicy(pid_t threadId, int policy) {
  if (sched_getscheduler(threadId) == policy) return true;
  const sched_param param{};
  return sched_setscheduler(threadId, policy, &param) == 0;
}

bool SetNice(pid_t threadId, int nice) {
  return setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), nice) == 0;
}

// A nice value below the process's: allowed as far as RLIMIT_NICE reaches,
// and its soft limit may be raised to the hard one first.
bool SetRaisedNice(pid_t threadId, int nice) {
  if (SetNice(threadId, nice)) return true;
  rlimit limit{};
  if (getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NICE, &limit) == 0 && SetNice(threadId, nice)) return true;
  }
  return false;
}

}  // namespace

TSchedulingChoice SchedulingOf(TSearchPriority level, int baseNice) {
  static constexpr int Offset[] = {0, 10, 5, 0, -5, -10, -20};
  TSchedulingChoice choice;
  choice.idlePolicy = level == TSearchPriority::Idle;
  choice.nice = std::clamp(baseNice + Offset[static_cast<int>(level)], -20, 19);
  return choice;
}

bool ApplySearchPriority(pid_t threadId, TSearchPriority level) {
  const int base = ProcessNice();
  const TSchedulingChoice choice = SchedulingOf(level, base);
  if (choice.idlePolicy) return SetPolicy(threadId, SCHED_IDLE);
  if (!SetPolicy(threadId, SCHED_OTHER)) return false;  // out of SCHED_IDLE needs privileges
  if (choice.nice >= base) return SetNice(threadId, choice.nice);
  if (SetRaisedNice(threadId, choice.nice)) return true;
  const int error = errno;
  SetNice(threadId, base);
  if (!raiseRefusalTold.exchange(true))
    std::fprintf(stderr,
                 "perch: the engine may not search above the program's own priority (%s); it searches at "
                 "normal priority\n",
                 std::strerror(error));
  return false;
}

}  // namespace perch
