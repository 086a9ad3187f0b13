// A stop request from another thread ends a long search soon, the board is
// left as it was and no later iteration reports.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "chess/engine/BenchSuite.h"
#include "tests/chess/engine/EngineTestSupport.h"

using namespace perch;

TEST(Stop, RequestFromAnotherThreadEndsADeepSearch) {
  LinkedEngine e(KiwipeteFen);
  const std::string before = e.Snapshot();
  e->setSearchDepth(8);
  std::atomic<int> lastDepth{0};
  std::atomic<bool> done{false};
  e->OnIteration = [&](int depth, int, std::uint64_t) { lastDepth = depth; };
  std::thread search([&] {
    e->IsThinking = true;
    e->SearchBestMove();
    e->IsThinking = false;
    done = true;
  });
  // Wait for the first iterations, then ask it to stop.
  while (lastDepth.load() < 2 && !done.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  e->StopSearch = true;
  search.join();
  EXPECT_LT(lastDepth.load(), 8) << "depth 8 of this position takes far longer than the stop";
  EXPECT_FALSE(e->IsThinking);
  EXPECT_EQ(e.Snapshot(), before);
}

TEST(Stop, PerftCountsOnlyTheRootMovesItFinished) {
  LinkedEngine e(KiwipeteFen);
  const std::string before = e.Snapshot();
  // The request arrives during the fourth root move: three are reported, and
  // the total is theirs.
  std::vector<std::uint64_t> reported;
  const std::uint64_t total = e->PerftDivide(3, [&](TEngineMove, std::uint64_t count) {
    reported.push_back(count);
    if (reported.size() == 3) e->StopSearch = true;
  });
  EXPECT_TRUE(e->PerftStopped());
  ASSERT_EQ(reported.size(), 3u);
  EXPECT_EQ(total, reported[0] + reported[1] + reported[2]);
  EXPECT_EQ(e.Snapshot(), before);

  // Still set: a perft ends before its first interior node.
  EXPECT_EQ(e->Perft(3), 0u);
  EXPECT_TRUE(e->PerftStopped());
  // Cleared, as the tools clear it: the whole count, not said to be cut short.
  e->StopSearch = false;
  EXPECT_EQ(e->Perft(3), 97862u);
  EXPECT_FALSE(e->PerftStopped());
  // The benchmark's perft clears it itself after a stopped search.
  e->StopSearch = true;
  EXPECT_EQ(RunPerft(*e, KiwipeteFen, 2).leaves, 2039u);
}
