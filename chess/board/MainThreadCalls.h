#pragma once
// The blocking call from the engine thread into the main thread. The
// engine thread queues a call and waits; the main thread runs queued calls
// whenever it processes events (nested loops and modal boxes included), and
// the board drains the queue itself while it waits for the engine to park.
// Once closed, queued and new calls are dropped and their callers released.

#include <QObject>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace perch {

class TMainThreadCalls : public QObject {
 public:
  TMainThreadCalls();
  ~TMainThreadCalls() override;

  // Engine thread: runs the call on the main thread and returns once it has
  // run (true), or as soon as the queue is closed (false).
  bool Run(std::function<void()> call);

  // Main thread: runs every queued call.
  void Drain();
  // Main thread: waits up to the time for a call to arrive.
  void WaitForCall(std::chrono::milliseconds longest);
  // Main thread: drops what is queued, releases every caller (also one
  // whose call is running further up the main thread's stack) and refuses
  // every later call.
  void Close();

 protected:
  void customEvent(QEvent* e) override;

 private:
  // Shared by caller and main thread, so a caller released by Close may
  // return while its call is still on the main thread's stack.
  struct Pending {
    std::function<void()> call;
    bool done = false;
    bool ran = false;
  };
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::shared_ptr<Pending>> queue_;
  std::vector<std::shared_ptr<Pending>> running_;
  bool closed_ = false;
};

}  // namespace perch
