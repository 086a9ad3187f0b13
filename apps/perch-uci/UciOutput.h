#pragma once
// The program's answers: whole lines, written and flushed one at a time
// under a lock, since the search thread and the input thread both answer.

#include <mutex>
#include <ostream>
#include <string>

namespace perch {

class UciOutput {
 public:
  explicit UciOutput(std::ostream& out) : out_(out) {}

  void Line(const std::string& text) {
    std::lock_guard lock(mutex_);
    out_ << text << '\n';
    out_.flush();
  }

 private:
  std::mutex mutex_;
  std::ostream& out_;
};

}  // namespace perch
