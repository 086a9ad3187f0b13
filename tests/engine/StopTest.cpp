// A stop request from another thread ends a long search soon, the board is
// left as it was and no later iteration reports.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "chess/engine/BenchSuite.h"
#include "tests/engine/EngineTestSupport.h"

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
