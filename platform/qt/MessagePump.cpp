#include "MessagePump.h"

#include "../MonotonicWait.h"

#include <QEventLoop>
#include <QTimer>

namespace perch {

void ProcessMessagesFor(std::chrono::milliseconds time) {
  QEventLoop loop;
  QTimer::singleShot(time, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void WaitSecondsProcessing(int seconds, const std::atomic<bool>& quitting) {
  TWaitSteps steps;
  steps.processMessagesFor = ProcessMessagesFor;
  WaitFor(std::chrono::seconds(seconds), quitting, steps);
}

}  // namespace perch
