// bench_board: what painting, animating and waiting cost on a board.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <string>

#include "chess/board/TChessBrd.h"

using namespace perch;

namespace {

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_FullPaint(benchmark::State& state) {
  TChessBrd board;
  board.setDisplayCoords({DisplayCoords::West, DisplayCoords::South});
  board.Paint();
  for (auto _ : state) {
    board.Paint();
    benchmark::DoNotOptimize(board.Canvas().constBits());
  }
}
BENCHMARK(BM_FullPaint)->Unit(benchmark::kMicrosecond);

// A bishop from a1 to h8 with AnimationDelay 0: 281 steps, each brought onto
// the screen of a shown window.
void BM_DiagonalAnimation(benchmark::State& state) {
  QWidget window;
  window.resize(400, 400);
  auto* board = new TChessBrd(&window);
  std::string pos(64, ' ');
  pos[SquareIndex(Square::A1) - 1] = 'B';
  pos[SquareIndex(Square::H2) - 1] = 'K';
  pos[SquareIndex(Square::A7) - 1] = 'k';
  board->setPosition(pos);
  window.show();
  QApplication::processEvents();
  int steps = 0;
  board->AnimationStepHook = [&](QPoint) { ++steps; };
  for (auto _ : state) board->AnimateMove(Square::A1, Square::H8);
  state.counters["steps"] = benchmark::Counter(steps, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DiagonalAnimation)->Unit(benchmark::kMillisecond);

// A shown board, the user White against the engine Black, waiting for the
// user: the share of one core the whole process uses over two seconds.
void BM_IdleWhileWaitingForTheUser(benchmark::State& state) {
  QWidget window;
  auto* board = new TChessBrd(&window);
  board->setComputerPlaysBlack(true);
  window.show();
  QApplication::processEvents();
  board->Paint();
  double share = 0;
  for (auto _ : state) {
    const double cpu0 = ProcessCpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    QEventLoop loop;
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    share = (ProcessCpuSeconds() - cpu0) / wall;
  }
  state.counters["core_percent"] = share * 100;
}
BENCHMARK(BM_IdleWhileWaitingForTheUser)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
