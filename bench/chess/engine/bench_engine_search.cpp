// Search speed: nodes (calls of SearchNode and CaptureSearch) per second at
// depth 5 over the fixed suite, with GNU Chess's reported speed as anchor.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <optional>

#include "bench/chess/engine/Anchors.h"
#include "chess/engine/BenchSuite.h"

using namespace perch;

namespace {

void BM_SearchSuite(benchmark::State& state) {
  auto engine = std::make_unique<TChessThread>();
  std::uint64_t nodes = 0;
  for (auto _ : state) {
    nodes = 0;
    for (const BenchPosition& p : SearchSuite) nodes += RunSearch(*engine, p.fen, SearchSuiteDepth).nodes;
  }
  state.counters["nodes/s"] =
      benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_SearchSuite)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SearchPosition(benchmark::State& state) {
  const BenchPosition& p = SearchSuite[state.range(0)];
  state.SetLabel(p.name);
  auto engine = std::make_unique<TChessThread>();
  std::uint64_t nodes = 0;
  for (auto _ : state) nodes = RunSearch(*engine, p.fen, SearchSuiteDepth).nodes;
  state.counters["nodes/s"] =
      benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_SearchPosition)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  // Best of three suite runs, the anchor measured between them, so that a
  // busy machine weighs on both alike.
  auto engine = std::make_unique<TChessThread>();
  std::uint64_t nodes = 0;
  double seconds = 0;
  std::optional<double> gnuchess;
  for (int r = 0; r < 3; ++r) {
    std::uint64_t runNodes = 0;
    double runSeconds = 0;
    for (const BenchPosition& p : SearchSuite) {
      const SearchRun run = RunSearch(*engine, p.fen, SearchSuiteDepth);
      runNodes += run.nodes;
      runSeconds += run.seconds;
    }
    if (r == 0 || runSeconds < seconds) nodes = runNodes, seconds = runSeconds;
    if (r == 1) gnuchess = GnuChessNodesPerSecond();
  }
  std::printf("\n%s\n", SearchSuiteLine(nodes, seconds).c_str());
  if (!gnuchess) {
    std::printf("  gnuchess: not available\n");
    return 0;
  }
  const double ours = seconds > 0 ? static_cast<double>(nodes) / seconds : 0;
  std::printf("  gnuchess: %.2f M nodes/s; ratio ours/gnuchess %.2f (target >= 1.5)\n", *gnuchess / 1e6,
              ours / *gnuchess);
  return 0;
}
