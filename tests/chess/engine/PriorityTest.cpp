// The engine's priority as an ordinary user has it: every level takes
// effect whatever came before, and above the program's own is refused
// without harm. CI runs as root, so the search runs in a child process that
// first drops to an unprivileged user.

#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "chess/engine/EngineThread.h"
#include "chess/model/ChessGame.h"

using namespace perch;

namespace {

constexpr int CannotDrop = 77;
constexpr uid_t Nobody = 65534;

bool BecomeOrdinaryUser() {
  if (geteuid() != 0) return true;
  const rlimit noRaise{0, 0};  // as a desktop user has it by default
  return setrlimit(RLIMIT_NICE, &noRaise) == 0 && setgroups(0, nullptr) == 0 && setgid(Nobody) == 0 &&
         setuid(Nobody) == 0 && setuid(0) != 0;
}

// Child: one search per level; writes "base" and then "idle nice" as seen
// from inside each search.
int SearchAtEachLevel(const std::vector<TSearchPriority>& levels, int out) {
  if (!BecomeOrdinaryUser()) return CannotDrop;
  TChessGame game;
  std::atomic<int> depth{2};
  std::atomic<TSearchPriority> level{TSearchPriority::Normal};
  std::atomic<bool> go{false};
  std::atomic<int> passes{0};
  std::atomic<int> seenPolicy{-1}, seenNice{99};
  TEngineThread::TLinks links;
  links.game = &game;
  links.searchDepth = &depth;
  links.priority = [&] { return level.load(); };
  TEngineThread::TCallbacks callbacks;
  callbacks.RunOnMainThread = [](std::function<void()> call) {
    call();
    return true;
  };
  callbacks.TurnTest = [&] { return go.exchange(false); };
  callbacks.MoveCallback = [](Square, Square) {};
  callbacks.PassEndCallback = [&] { ++passes; };
  TEngineThread engine(std::move(links), std::move(callbacks));
  engine.Engine().OnIteration = [&](int, int, std::uint64_t) {
    seenPolicy = sched_getscheduler(0);
    seenNice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  };
  std::string report = std::to_string(getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()))) + "\n";
  for (const TSearchPriority l : levels) {
    level = l;
    const int before = passes.load();
    go = true;
    engine.Release();
    for (int i = 0; i < 3000 && passes.load() == before; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    report += std::to_string(seenPolicy.load() == SCHED_IDLE) + " " + std::to_string(seenNice.load()) + "\n";
  }
  engine.MarkParked();
  return write(out, report.data(), report.size()) == ssize_t(report.size()) ? 0 : 1;
}

TEST(SearchPriority, EveryLevelTakesEffectForAnOrdinaryUserWhateverCameBefore) {
  using P = TSearchPriority;
  const std::vector<P> levels = {P::Normal, P::Idle,  P::Normal, P::Lower,        P::Normal, P::Lowest,
                                 P::Idle,   P::Lower, P::Higher, P::TimeCritical, P::Normal};
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipeEnds[0]);
    _exit(SearchAtEachLevel(levels, pipeEnds[1]));
  }
  close(pipeEnds[1]);
  std::string report;
  char buffer[256];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, std::size_t(n));
  close(pipeEnds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == CannotDrop) GTEST_SKIP() << "cannot drop to an unprivileged user here";
  ASSERT_EQ(WEXITSTATUS(status), 0);

  int base = 0;
  std::FILE* lines = fmemopen(report.data(), report.size(), "r");
  ASSERT_EQ(std::fscanf(lines, "%d", &base), 1);
  for (const P l : levels) {
    int idle = -1, nice = 99;
    ASSERT_EQ(std::fscanf(lines, "%d %d", &idle, &nice), 2);
    TSchedulingChoice expected = SchedulingOf(l, base);
    expected.nice = std::max(expected.nice, base);  // above the program's own: refused, searched at its own
    EXPECT_EQ(idle != 0, expected.idlePolicy) << "level " << int(l);
    if (!expected.idlePolicy) {
      EXPECT_EQ(nice, expected.nice) << "level " << int(l);
    }
  }
  std::fclose(lines);
}

}  // namespace
