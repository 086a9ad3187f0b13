#pragma once
// Message pumping on the Qt main thread: the companion's stand-in for
// processing the window messages while a routine waits.

#include <chrono>

namespace perch {

// Runs the thread's event loop, nested, for about the given time: events,
// timers and link datagrams are handled as they arrive.
void ProcessMessagesFor(std::chrono::milliseconds time);

}  // namespace perch
