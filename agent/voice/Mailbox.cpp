#include "agent/voice/Mailbox.h"

#include <QPointer>
#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

namespace perch {

TMailbox::TMailbox(QObject* parent) : QObject(parent) {
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) throw std::runtime_error("voice: cannot create an eventfd");
  notifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TMailbox::RunPosted);
}

TMailbox::~TMailbox() {
  delete notifier_;
  close(wakeFd_);
}

void TMailbox::Post(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(work));
  }
  const uint64_t one = 1;
  // Only fails when the counter is full, and then a wake-up is pending anyway.
  [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

void TMailbox::RunPosted() {
  uint64_t count = 0;
  [[maybe_unused]] const ssize_t got = read(wakeFd_, &count, sizeof count);
  // One at a time: the work may destroy this mailbox (a receiver deleting
  // the voice from its Finished slot), and then the rest is dropped.
  const QPointer<TMailbox> alive(this);
  while (alive) {
    std::function<void()> work;
    {
      std::lock_guard lock(mutex_);
      if (posted_.empty()) return;
      work = std::move(posted_.front());
      posted_.pop_front();
    }
    work();
  }
}

}  // namespace perch
