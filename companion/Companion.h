#pragma once
// Process-wide state of the companion and the operations on which its
// routines pace themselves and report to the controlling program.

#include "platform/LinkCodes.h"
#include "platform/MonotonicWait.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace perch {

class TActor;

// Set once by the quit request; ends every running wait.
extern std::atomic<bool> Quitting;
// The single companion form, set by start-up.
extern TActor* Actor;

// Holds the calling routine for n seconds of the monotonic clock while
// messages keep being processed (nested routines included); Quitting ends it.
void WaitSeconds(int n);
// The clock and pump WaitSeconds uses: the monotonic clock and Qt's event
// loop; tests may put a faster clock in.
perch::TWaitSteps& CompanionWaitSteps();

// Posts WM_COMPANION with wParam = code to the controller's window, looked up
// anew each time; lost when no controller runs. Never waits.
void NotifyController(std::uint64_t code);
// At the end of the program: gives the controller up to `limit` to take
// the notices that still wait for room in its queue.
void DeliverWaitingNotices(std::chrono::milliseconds limit);

// Half of a screen dimension, an exact half rounded to the even neighbour.
int HalfRoundedToEven(int length);

}  // namespace perch
