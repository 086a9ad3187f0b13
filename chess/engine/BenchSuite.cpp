// The benchmark positions and their timed runs.

#include "chess/engine/BenchSuite.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "chess/engine/Fen.h"
#include "chess/model/ChessGame.h"

namespace perch {

const BenchPosition SearchSuite[8] = {
    {"start", StartFen},
    {"kiwipete", KiwipeteFen},
    {"italian", "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4"},
    {"middlegame", "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10"},
    {"promotions", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8"},
    {"tactics", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1"},
    {"rook-ending", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1"},
    {"pawn-ending", "8/5pk1/6p1/3P4/2P5/6P1/5PK1/8 w - - 0 1"},
};

namespace {

// The game the engine reads from; one per process is enough for the tools.
std::unique_ptr<TChessGame>& BenchGame() {
  static std::unique_ptr<TChessGame> game;
  return game;
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

void LoadFen(TChessThread& engine, const char* fen) {
  std::string error;
  const auto parsed = ParseFen(fen, error);
  if (!parsed) throw std::invalid_argument(error);
  BenchGame() = std::make_unique<TChessGame>();
  ApplyFen(*parsed, *BenchGame());
  engine.LinkGame(BenchGame().get());
  engine.LoadPosition();
}

PerftRun RunPerft(TChessThread& engine, const char* fen, int depth) {
  LoadFen(engine, fen);
  engine.StopSearch = false;
  PerftRun run;
  const auto start = std::chrono::steady_clock::now();
  run.leaves = engine.Perft(depth);
  run.seconds = Since(start);
  return run;
}

SearchRun RunSearch(TChessThread& engine, const char* fen, int depth) {
  LoadFen(engine, fen);
  engine.ClearSearchMemory();
  engine.setSearchDepth(depth);
  engine.StopSearch = false;
  SearchRun run;
  engine.OnIteration = [&run](int, int score, std::uint64_t) { run.score = score; };
  const auto start = std::chrono::steady_clock::now();
  engine.SearchBestMove();
  run.seconds = Since(start);
  engine.OnIteration = nullptr;
  run.nodes = engine.Nodes();
  run.best = engine.BestLine(0)[0];
  return run;
}

EngineFigures MeasureEngine(TChessThread& engine, int repeats) {
  EngineFigures figures;
  for (int r = 0; r < repeats; ++r) {
    const PerftRun start = RunPerft(engine, StartFen, 5);
    const PerftRun kiwi = RunPerft(engine, KiwipeteFen, 4);
    if (r == 0 || start.seconds < figures.start5.seconds) figures.start5 = start;
    if (r == 0 || kiwi.seconds < figures.kiwipete4.seconds) figures.kiwipete4 = kiwi;
  }
  for (const BenchPosition& p : SearchSuite) {
    const SearchRun run = RunSearch(engine, p.fen, SearchSuiteDepth);
    figures.suiteNodes += run.nodes;
    figures.suiteSeconds += run.seconds;
  }
  return figures;
}

std::string PerftLine(const char* name, int depth, const PerftRun& run) {
  char line[200];
  std::snprintf(line, sizeof line, "perft %s %d: %llu leaves in %.3f s, %.2f M leaves/s", name, depth,
                static_cast<unsigned long long>(run.leaves), run.seconds,
                run.seconds > 0 ? static_cast<double>(run.leaves) / run.seconds / 1e6 : 0.0);
  return line;
}

std::string SearchSuiteLine(std::uint64_t nodes, double seconds) {
  char line[200];
  std::snprintf(line, sizeof line, "search suite depth %d: %llu nodes in %.3f s, %.2f M nodes/s",
                SearchSuiteDepth, static_cast<unsigned long long>(nodes), seconds,
                seconds > 0 ? static_cast<double>(nodes) / seconds / 1e6 : 0.0);
  return line;
}

}  // namespace perch
