#include "platform/qt/MessagePump.h"

#include <QEventLoop>
#include <QTimer>

namespace perch {

void ProcessMessagesFor(std::chrono::milliseconds time) {
  QEventLoop loop;
  QTimer::singleShot(time, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace perch
