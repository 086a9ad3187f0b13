// perch-uci as a chess program drives it: the program itself on pipes,
// with commands sent while it searches and its answers timed against the
// limits the protocol sets. The windows are generous: they check the
// protocol, the benchmark measures speed.

#include <gtest/gtest.h>

#include <chrono>

#include "chess/engine/BenchSuite.h"
#include "tests/chess/engine/ChildProcess.h"

using namespace perch;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Engine {
  ChildProcess process{{PERCH_UCI_PATH}};

  Engine() {
    process.Send("uci");
    EXPECT_TRUE(process.ReadUntil("uciok", 10s));
  }
  // Sends the commands, then waits for readyok so that all were read.
  void Ready(std::initializer_list<std::string> commands) {
    for (const std::string& c : commands) process.Send(c);
    process.Send("isready");
    ASSERT_TRUE(process.ReadUntil("readyok", 10s));
  }
};

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

TEST(UciConversation, MovetimeIsUsedAndKept) {
  Engine e;
  e.Ready({"position startpos moves e2e4"});
  const auto start = Clock::now();
  e.process.Send("go movetime 500");
  const auto best = e.process.ReadUntil("bestmove ", 5s);
  const double seconds = Since(start);
  ASSERT_TRUE(best);
  EXPECT_GE(seconds, 0.3) << "movetime is a time to search, not a limit to stop short of";
}

TEST(UciConversation, InfiniteSearchAnswersIsreadyAndWaitsForStop) {
  Engine e;
  e.Ready({"position startpos"});
  e.process.Send("go infinite");
  // Depth after depth, and no best move of its own accord.
  std::vector<std::string> seen;
  EXPECT_FALSE(e.process.ReadUntil("bestmove", 1500ms, &seen));
  EXPECT_GE(seen.size(), 3u);
  e.process.Send("isready");
  EXPECT_TRUE(e.process.ReadUntil("readyok", 1s)) << "isready waits for the search";
  EXPECT_FALSE(e.process.ReadUntil("bestmove", 200ms));
  e.process.Send("stop");
  EXPECT_TRUE(e.process.ReadUntil("bestmove ", 5s)) << "stop ends the search";

  // A search that has nothing left to search still waits: here, mated,
  // every iteration ends at once.
  e.Ready({"position fen 7k/8/8/8/8/8/5PPP/r5K1 w - - 0 1"});
  e.process.Send("go infinite");
  EXPECT_FALSE(e.process.ReadUntil("bestmove", 300ms));
  e.process.Send("stop");
  EXPECT_EQ(e.process.ReadUntil("bestmove", 5s), "bestmove 0000");
}

TEST(UciConversation, QuitDuringASearchEndsTheProgram) {
  Engine e;
  e.Ready({"position fen " + std::string(KiwipeteFen)});
  e.process.Send("go depth 64");
  ASSERT_TRUE(e.process.ReadUntil("info depth 3", 10s));
  e.process.Send("quit");
  EXPECT_TRUE(e.process.WaitForExit(2s));
}

TEST(UciConversation, PonderWaitsForPonderhitThenKeepsTheClock) {
  Engine e;
  e.Ready({"position startpos moves e2e4 e7e5"});
  e.process.Send("go ponder wtime 1000 btime 1000");
  EXPECT_FALSE(e.process.ReadUntil("bestmove", 1500ms)) << "a ponder search answers only after ponderhit";
  e.process.Send("ponderhit");
  EXPECT_TRUE(e.process.ReadUntil("bestmove ", 5s)) << "after ponderhit the search keeps the clock";
}

TEST(UciConversation, ClockOfOneSecondIsKeptInEveryBenchPosition) {
  Engine e;
  for (const BenchPosition& p : SearchSuite) {
    SCOPED_TRACE(p.name);
    e.Ready({std::string("position fen ") + p.fen});
    const auto start = Clock::now();
    e.process.Send("go wtime 1000 btime 1000 winc 0 binc 0");
    const auto best = e.process.ReadUntil("bestmove ", 5s);
    const double seconds = Since(start);
    ASSERT_TRUE(best);
    EXPECT_LT(seconds, 1.0);
    EXPECT_NE(*best, "bestmove 0000");
  }
}

TEST(UciConversation, EndOfInputLetsABoundedSearchFinish) {
  Engine e;
  e.Ready({"position startpos"});
  e.process.Send("go depth 3");
  e.process.CloseInput();
  EXPECT_TRUE(e.process.ReadUntil("bestmove d2d4", 10s));
  EXPECT_TRUE(e.process.WaitForExit(5s));
}

TEST(UciConversation, HugeTimesMeanNoLimit) {
  Engine e;
  for (const char* go : {"go movetime 9223372036854775807",
                         "go wtime 9223372036854775807 btime 9223372036854775807 winc 9223372036854775807"}) {
    SCOPED_TRACE(go);
    e.Ready({"position startpos"});
    e.process.Send(go);
    // A search that goes on, depth after depth, until stop.
    std::vector<std::string> seen;
    ASSERT_TRUE(e.process.ReadUntil("info depth 2 ", 10s, &seen));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0].rfind("info depth 1 ", 0), 0u) << seen[0];
    EXPECT_FALSE(e.process.ReadUntil("bestmove", 200ms)) << "a huge time is no deadline";
    e.process.Send("stop");
    const auto best = e.process.ReadUntil("bestmove ", 5s);
    ASSERT_TRUE(best);
    EXPECT_NE(*best, "bestmove 0000");
  }
}

TEST(UciConversation, PerftAnswersIsreadyAndStops) {
  Engine e;
  e.Ready({"position startpos"});
  e.process.Send("go perft 7");
  e.process.Send("isready");
  // The guard only catches a hang: the whole perft takes over a minute.
  std::vector<std::string> seen;
  ASSERT_TRUE(e.process.ReadUntil("readyok", 30s, &seen));
  for (const std::string& line : seen) EXPECT_NE(line.rfind("Nodes searched", 0), 0u) << "isready waited";
  e.process.Send("stop");
  seen.clear();
  ASSERT_TRUE(e.process.ReadUntil("Nodes searched: ", 30s, &seen));
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[seen.size() - 2], "info string perft stopped: the count is partial");
  // The next perft counts in full.
  e.process.Send("go perft 3");
  EXPECT_EQ(e.process.ReadUntil("Nodes searched: ", 10s), "Nodes searched: 8902");
}

TEST(UciConversation, QuitDuringAPerftEndsTheProgram) {
  Engine e;
  e.Ready({"position startpos", "go perft 7"});
  e.process.Send("quit");
  EXPECT_TRUE(e.process.WaitForExit(30s));
}
