#include "chess/board/MainThreadCalls.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>

namespace perch {

namespace {
const QEvent::Type DrainEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
}

TMainThreadCalls::TMainThreadCalls() = default;

TMainThreadCalls::~TMainThreadCalls() { Close(); }

bool TMainThreadCalls::Run(std::function<void()> call) {
  auto pending = std::make_shared<Pending>();
  pending->call = std::move(call);
  std::unique_lock lock(mutex_);
  if (closed_) return false;
  queue_.push_back(pending);
  changed_.notify_all();
  // Made under the mutex, which the main thread takes before it reads the
  // event: Qt's own locking of the event queue is invisible to the thread
  // checker, this makes the hand-over of the event itself a visible one.
  auto* wake = new QEvent(DrainEvent);
  lock.unlock();
  QCoreApplication::postEvent(this, wake);
  lock.lock();
  changed_.wait(lock, [&] { return pending->done; });
  return pending->ran;
}

void TMainThreadCalls::Drain() {
  for (;;) {
    std::unique_lock lock(mutex_);
    if (queue_.empty()) return;
    std::shared_ptr<Pending> next = queue_.front();
    queue_.pop_front();
    running_.push_back(next);
    lock.unlock();
    // The caller stays blocked until the call has returned, also when it
    // throws (the board's calls report their own errors).
    struct MarkDone {
      TMainThreadCalls* self;
      std::shared_ptr<Pending> pending;
      ~MarkDone() {
        std::lock_guard guard(self->mutex_);
        auto& running = self->running_;
        running.erase(std::remove(running.begin(), running.end(), pending), running.end());
        if (!pending->done) pending->ran = true;
        pending->done = true;
        self->changed_.notify_all();
      }
    } markDone{this, next};
    next->call();
  }
}

void TMainThreadCalls::WaitForCall(std::chrono::milliseconds longest) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, longest, [&] { return !queue_.empty() || closed_; });
}

void TMainThreadCalls::Close() {
  std::lock_guard guard(mutex_);
  closed_ = true;
  for (auto& p : queue_) p->done = true;
  for (auto& p : running_) p->done = true;
  queue_.clear();
  changed_.notify_all();
}

void TMainThreadCalls::customEvent(QEvent* e) {
  std::unique_lock lock(mutex_);
  const bool wake = e->type() == DrainEvent;
  lock.unlock();
  if (wake) Drain();
}

}  // namespace perch
