// Varied play: off, the search is the plain one; on, the move chosen scores
// within the margin of the best, and games from the same user moves differ.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "chess/engine/BenchSuite.h"
#include "tests/chess/engine/EngineTestSupport.h"

namespace {

TEST(Vary, OffAfterOnSearchesAsNeverOn) {
  auto plain = std::make_unique<TChessThread>();
  auto toggled = std::make_unique<TChessThread>();
  toggled->setVaryMoves(true);
  toggled->setVarySeed(7);
  (void)RunSearch(*toggled, SearchSuite[2].fen, 3);
  toggled->setVaryMoves(false);
  for (const int i : {0, 2, 4, 6}) {
    SCOPED_TRACE(SearchSuite[i].name);
    const SearchRun a = RunSearch(*plain, SearchSuite[i].fen, 4);
    const SearchRun b = RunSearch(*toggled, SearchSuite[i].fen, 4);
    EXPECT_EQ(a.nodes, b.nodes);
    EXPECT_EQ(a.best, b.best);
    EXPECT_EQ(a.score, b.score);
  }
}

TEST(Vary, NoChoiceWhereOneMoveIsFarBest) {
  // A queen to take by a pawn or by a rook, and a mate in one: every seed plays
  // the one move.
  const std::pair<const char*, const char*> cases[] = {
      {"rnb1kbnr/pppp1ppp/8/4p3/3q4/4P3/PPPP1PPP/RNBQKBNR w KQkq - 0 3", "e3d4"},
      {"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", "a1a8"},
      {"4k3/8/8/3q4/8/8/3R4/4K3 w - - 0 1", "d2d5"},
  };
  for (const auto& [fen, only] : cases) {
    SCOPED_TRACE(fen);
    auto engine = std::make_unique<TChessThread>();
    const SearchRun plain = RunSearch(*engine, fen, 3);
    ASSERT_EQ(EngineMoveName(plain.best), only);
    engine->setVaryMoves(true);
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
      engine->setVarySeed(seed);
      const SearchRun varied = RunSearch(*engine, fen, 3);
      EXPECT_EQ(EngineMoveName(varied.best), only) << "seed " << seed;
      EXPECT_EQ(varied.score, plain.score);
    }
  }
}

// Black's replies to a fixed list of the user's moves (the first legal one
// of the list each time, else any legal move), ply by ply.
std::string GameAgainstUserMoves(bool vary, std::uint64_t seed) {
  const char* user[] = {"e2e4", "g1f3", "f1c4", "d2d3", "b1c3", "c1g5", "e1g1", "a2a3", "h2h3", "d1d2"};
  LinkedEngine game(StartFen);
  game->setSearchDepth(2);
  game->setVaryMoves(vary);
  game->setVarySeed(seed);
  std::string moves;
  for (int turn = 0; turn < 8; ++turn) {
    bool played = false;
    for (const char* m : user) {
      const Square from = SquareOf(m[0] - 'a' + 1, m[1] - '0');
      const Square to = SquareOf(m[2] - 'a' + 1, m[3] - '0');
      if (game.game->MakeMove(from, to)) {
        played = true;
        break;
      }
    }
    for (int f = 1; f <= 64 && !played; ++f)
      for (int t = 1; t <= 64 && !played; ++t)
        played = game.game->MakeMove(SquareFromIndex(f), SquareFromIndex(t));
    if (!played) break;
    game->SearchBestMove();
    const TEngineMove reply = game->BestLine(0)[0];
    if (!game.game->MakeMove(SquareFromIndex(reply.from + 1), SquareFromIndex(reply.to + 1))) break;
    moves += EngineMoveName(reply) + " ";
  }
  return moves;
}

TEST(Vary, GamesFromTheSameUserMovesDifferOnlyWhenOn) {
  std::set<std::string> plain, varied;
  for (std::uint64_t seed = 1; seed <= 10; ++seed) {
    plain.insert(GameAgainstUserMoves(false, seed));
    varied.insert(GameAgainstUserMoves(true, seed));
  }
  EXPECT_EQ(plain.size(), 1u);
  EXPECT_GE(varied.size(), 2u);
  // A seed repeats its game.
  EXPECT_EQ(GameAgainstUserMoves(true, 3), GameAgainstUserMoves(true, 3));
}

}  // namespace
