// Generation, making moves and searching allocate nothing: global operator
// new is replaced in this program by one that counts.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "chess/engine/BenchSuite.h"

using namespace perch;

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(Allocation, SearchAndPerftAllocateNothing) {
  auto engine = std::make_unique<TChessThread>();
  int iterations = 0;
  engine->OnIteration = [&iterations](int, int, std::uint64_t) { ++iterations; };
  engine->setSearchDepth(4);
  for (const char* fen : {StartFen, KiwipeteFen, SearchSuite[4].fen}) {
    LoadFen(*engine, fen);
    const long before = allocations.load();
    engine->SearchBestMove();
    engine->LoadPosition();
    engine->Perft(3);
    EXPECT_EQ(allocations.load() - before, 0) << fen;
  }
  EXPECT_EQ(iterations, 12);
  // The counter does count: a plain allocation shows up.
  const long before = allocations.load();
  auto probe = std::make_unique<int>(1);
  EXPECT_EQ(allocations.load() - before, 1);
}
