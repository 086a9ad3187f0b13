#pragma once
// A program run as a child with pipes on its standard input and output,
// read line by line with a deadline. Used to talk to independent chess
// programs (stockfish, polyglot, gnuchess) and to perch-uci itself.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class ChildProcess {
 public:
  // Starts argv[0] with the given arguments; Running() tells whether it did.
  // The pipes are close-on-exec: the child keeps only the ends it reads and
  // writes, so it sees its input end when this side closes.
  explicit ChildProcess(const std::vector<std::string>& argv, const std::string& workDir = "") {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0), dup2(out[1], 1);
      if (const int null = open("/dev/null", O_WRONLY); null >= 0) dup2(null, 2);
      if (workDir.empty() || chdir(workDir.c_str()) == 0) execvp(args[0], args.data());
      _exit(127);
    }
    close(in[0]), close(out[1]);
    toChild_ = in[1], fromChild_ = out[0];
    signal(SIGPIPE, SIG_IGN);
  }

  ~ChildProcess() {
    CloseInput();
    // Give it a moment to leave on its own after its input closed.
    for (int i = 0; pid_ > 0 && i < 20 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i) usleep(10000);
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
    close(fromChild_);
  }

  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Running() const { return pid_ > 0; }

  // Closes the child's standard input: it reads the end of its input.
  void CloseInput() {
    if (toChild_ >= 0) close(toChild_);
    toChild_ = -1;
  }

  // Whether the child ends within the timeout (after which it is reaped).
  bool WaitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (pid_ > 0) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return true;
      }
      if (std::chrono::steady_clock::now() >= deadline) return false;
      usleep(5000);
    }
    return false;
  }

  bool Send(const std::string& line) {
    const std::string text = line + "\n";
    return write(toChild_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  }

  // The next line, or nothing when the deadline passes or the output ends.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      if (const auto newline = buffer_.find('\n'); newline != std::string::npos) {
        std::string line = buffer_.substr(0, newline);
        buffer_.erase(0, newline + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
      }
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return std::nullopt;
      pollfd p{fromChild_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[4096];
      const ssize_t n = read(fromChild_, chunk, sizeof chunk);
      if (n <= 0) return std::nullopt;
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

  // Reads until a line starts with prefix; returns that line, with every
  // line read on the way in `seen` when given.
  std::optional<std::string> ReadUntil(const std::string& prefix, std::chrono::milliseconds timeout,
                                       std::vector<std::string>* seen = nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (auto line = ReadLine(timeout); line; line = ReadLine(std::chrono::ceil<std::chrono::milliseconds>(
                                                  deadline - std::chrono::steady_clock::now()))) {
      if (line->rfind(prefix, 0) == 0) return line;
      if (seen) seen->push_back(*line);
    }
    return std::nullopt;
  }

 private:
  pid_t pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  std::string buffer_;
};
