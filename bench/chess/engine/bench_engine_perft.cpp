// Perft throughput, every leaf made and taken back, with Stockfish's perft
// one ply deeper as the anchor: it makes exactly our leaves and adds a
// legal move generation at each.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "bench/chess/engine/Anchors.h"
#include "chess/engine/BenchSuite.h"

using namespace perch;

namespace {

void BM_Perft(benchmark::State& state, const char* fen, int depth) {
  auto engine = std::make_unique<TChessThread>();
  std::uint64_t leaves = 0;
  for (auto _ : state) leaves = RunPerft(*engine, fen, depth).leaves;
  state.counters["leaves/s"] =
      benchmark::Counter(static_cast<double>(leaves), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK_CAPTURE(BM_Perft, start_5, StartFen, 5)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Perft, kiwipete_4, KiwipeteFen, 4)->Unit(benchmark::kMillisecond)->Iterations(3);

void Compare(const char* name, const char* fen, int depth) {
  auto engine = std::make_unique<TChessThread>();
  PerftRun best;
  for (int r = 0; r < 3; ++r) {
    const PerftRun run = RunPerft(*engine, fen, depth);
    if (r == 0 || run.seconds < best.seconds) best = run;
  }
  std::printf("%s\n", PerftLine(name, depth, best).c_str());
  std::uint64_t theirNodes = 0;
  const auto theirs = StockfishPerftSeconds(fen, depth + 1, 3, &theirNodes);
  if (!theirs) {
    std::printf("  stockfish perft %d: not available\n", depth + 1);
    return;
  }
  std::printf(
      "  stockfish perft %d: %llu nodes in %.3f s; ratio ours/stockfish %.2f (target <= 1.0, aim 0.5)\n",
      depth + 1, static_cast<unsigned long long>(theirNodes), *theirs, best.seconds / *theirs);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\n");
  Compare("start", StartFen, 5);
  Compare("kiwipete", KiwipeteFen, 4);
  return 0;
}
