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
#include <mutex>

class TMainThreadCalls : public QObject {
 public:
  TMainThreadCalls();
  ~TMainThreadCalls() override;

  // Engine thread: runs the call on the main thread and returns once it has
  // run (true), or at once when the queue is closed (false).
  bool Run(const std::function<void()>& call);

  // Main thread: runs every queued call.
  void Drain();
  // Main thread: waits up to the time for a call to arrive.
  void WaitForCall(std::chrono::milliseconds longest);
  // Main thread: drops what is queued, releases its callers and refuses
  // every later call.
  void Close();

 protected:
  void customEvent(QEvent* e) override;

 private:
  struct Pending {
    const std::function<void()>* call;
    bool done = false;
    bool ran = false;
  };
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Pending*> queue_;
  bool closed_ = false;
};
