#pragma once
// The scheduling priority of a thread that searches, on Linux.
//
// Linux lets an ordinary user lower a thread's priority but never raise it
// again (neither a nice value back down nor a way out of SCHED_IDLE, unless
// RLIMIT_NICE allows it). So each search runs on a thread of its own, which
// starts at the process's priority and is then lowered to the one asked for:
// every level at or below the process's own takes effect, whatever came
// before. Above it needs privileges: it is tried, and when refused the
// search runs at the process's priority and that is told once on stderr.

#include <sys/types.h>

namespace perch {

// The levels of the board's TThreadPriority, lowest first.
enum class TSearchPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

// What a level means for a thread: its policy and its nice value, relative
// to the process's own (baseNice).
struct TSchedulingChoice {
  bool idlePolicy = false;  // SCHED_IDLE; otherwise SCHED_OTHER at nice
  int nice = 0;
};
TSchedulingChoice SchedulingOf(TSearchPriority level, int baseNice);

// Gives the thread the level's scheduling. False when the system refused
// part of it; above the process's own priority the thread is then left at
// that, and the refusal told once.
bool ApplySearchPriority(pid_t threadId, TSearchPriority level);

}  // namespace perch
