// The costs of the model's rules as the board meets them: the legal-move
// search that follows every move, a full drag's worth of legality queries,
// and whole moves with their events.

#include <benchmark/benchmark.h>

#include "chess/model/ChessGame.h"

using namespace perch;

namespace {

// An open middle game reached from the starting position.
void PlayOpening(TChessGame& game) {
  const Square moves[][2] = {{Square::E2, Square::E4}, {Square::E7, Square::E5}, {Square::G1, Square::F3},
                             {Square::B8, Square::C6}, {Square::F1, Square::C4}, {Square::G8, Square::F6},
                             {Square::D2, Square::D3}, {Square::F8, Square::C5}, {Square::C1, Square::G5},
                             {Square::D7, Square::D6}};
  for (const auto& m : moves) game.MakeMove(m[0], m[1]);
}

void BM_HasLegalMove(benchmark::State& state) {
  TChessGame game;
  PlayOpening(game);
  for (auto _ : state) benchmark::DoNotOptimize(game.HasLegalMove());
}
BENCHMARK(BM_HasLegalMove);

// A position where the side to move has no legal move: every pair is tried.
void BM_HasLegalMoveWhenMated(benchmark::State& state) {
  TChessGame game;
  game.MakeMove(Square::F2, Square::F3);
  game.MakeMove(Square::E7, Square::E5);
  game.MakeMove(Square::G2, Square::G4);
  game.MakeMove(Square::D8, Square::H4);
  for (auto _ : state) benchmark::DoNotOptimize(game.HasLegalMove());
}
BENCHMARK(BM_HasLegalMoveWhenMated);

// What a drag asks: every target square for one picked-up piece.
void BM_IsLegalMoveAllTargets(benchmark::State& state) {
  TChessGame game;
  PlayOpening(game);
  for (auto _ : state) {
    int legal = 0;
    for (int t = 1; t <= 64; ++t) legal += game.IsLegalMove(Square::F3, SquareFromIndex(t));
    benchmark::DoNotOptimize(legal);
  }
}
BENCHMARK(BM_IsLegalMoveAllTargets);

// A knight going out and back: four whole moves with their events.
void BM_MakeMove(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TChessGame game;
    int events = 0;
    game.OnLegalMove = [&](TChessGame*, Square, Square) { ++events; };
    game.OnPaint = [&](TChessGame*) { ++events; };
    state.ResumeTiming();
    game.MakeMove(Square::G1, Square::F3);
    game.MakeMove(Square::G8, Square::F6);
    game.MakeMove(Square::F3, Square::G1);
    game.MakeMove(Square::F6, Square::G8);
    benchmark::DoNotOptimize(events);
  }
}
BENCHMARK(BM_MakeMove);

}  // namespace

BENCHMARK_MAIN();
