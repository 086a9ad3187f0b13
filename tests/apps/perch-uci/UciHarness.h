#pragma once
// Drives a perch-uci session in-process and collects what it printed.
// The search thread prints while the test reads, so the printed text is
// kept under a lock, and a command started by hand (a `go` left running)
// keeps every line it prints for the next Run.

#include <unistd.h>

#include <map>
#include <mutex>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "apps/perch-uci/UciSession.h"

namespace perch {

using Lines = std::vector<std::string>;

// An unbuffered stream buffer: every write reaches the text under the lock.
class LockedText : public std::streambuf {
 public:
  Lines TakeLines() {
    std::string text;
    {
      std::lock_guard lock(mutex_);
      text.swap(text_);
    }
    Lines lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
  }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    std::lock_guard lock(mutex_);
    text_.push_back(traits_type::to_char_type(c));
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::lock_guard lock(mutex_);
    text_.append(s, static_cast<std::size_t>(n));
    return n;
  }

 private:
  std::mutex mutex_;
  std::string text_;
};

struct UciHarness {
  LockedText text;
  std::ostream out{&text};
  UciSession session{out};

  // Runs the commands, each to its end, and returns every line printed
  // since the last call: a search started by hand before it is included.
  Lines Run(const Lines& commands) {
    for (const std::string& c : commands) {
      session.Handle(c);
      session.WaitForSearch();
    }
    return text.TakeLines();
  }
  // Lets a search started by hand end and drops what it printed.
  void Settle() {
    session.WaitForSearch();
    text.TakeLines();
  }
  // The FEN line that ends the output of `d`.
  std::string Fen() { return Run({"d"}).back().substr(5); }
};

// The full path of an installed program, or "" when it is not installed.
inline std::string FindProgram(const std::string& name) {
  for (const char* dir : {"/usr/games/", "/usr/bin/", "/usr/local/bin/"})
    if (access((dir + name).c_str(), X_OK) == 0) return dir + name;
  return "";
}

// The "<move>: <count>" lines of a perft and "Nodes searched: <total>", by key.
inline std::map<std::string, std::string> Divide(const Lines& lines) {
  std::map<std::string, std::string> counts;
  for (const std::string& line : lines)
    if (const auto colon = line.find(": "); colon <= 5 || line.rfind("Nodes searched: ", 0) == 0)
      counts[line.substr(0, colon)] = line.substr(colon + 2);
  return counts;
}

}  // namespace perch
