#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

class QSocketNotifier;

namespace perch {

// Hands work from any thread to the thread that owns the mailbox, where it
// runs in the order posted when that thread's event loop turns. The wake-up
// goes through an eventfd rather than Qt's event queue, so that the hand-off
// is plainly synchronized for the thread sanitizer too, and work still
// waiting when the mailbox is destroyed is dropped.
class TMailbox : public QObject {
  Q_OBJECT
 public:
  explicit TMailbox(QObject* parent = nullptr);
  ~TMailbox() override;

  // Thread-safe.
  void Post(std::function<void()> work);

 private:
  void RunPosted();

  int wakeFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  std::mutex mutex_;
  std::deque<std::function<void()>> posted_;
};

}  // namespace perch
