// Taking moves back: every part of the state and the history comes back as
// it was before the move, no event fires, and the move made again fires its
// events as the first time.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/chess/model/ModelTestSupport.h"

namespace {

using Side = TChessGame::Side;

// Everything a take back restores, as one text: the board, side to move,
// move number, en passant square, rights, the game-over mark, the
// repetition verdict and every history record there is.
std::string Everything(const TChessGame& game) {
  std::string text = game.Position() + "|" + State(game) + (game.GameOver() ? " over" : "") +
                     (game.IsThreefold() ? " threefold" : "");
  for (int n = 0; n <= game.CurrentMove() + 2; ++n) {
    for (const Side side : {Side::White, Side::Black}) {
      const MoveInfo* r = game.HistoryRecord(n, side);
      if (r == nullptr) continue;
      text += "|" + std::to_string(n) + (side == Side::White ? "w " : "b ") + r->PositionStr + " " +
              NameOf(r->OldSq) + NameOf(r->NewSq) + " " + NameOf(r->EnPassantSq) + " " +
              std::to_string(r->Castling.Bits());
    }
  }
  return text;
}

TEST(TakeBack, EachKindOfMoveComesBackExactlyAndReplaysItsEvents) {
  struct Case {
    const char* name;
    const char* board;  // "init" for the starting position; White to move
    const char* before;
    const char* move;
    char promotion = 'q';
  };
  const Case cases[] = {
      {"capture", "init", "e2e4 d7d5", "e4d5"},
      {"white castles king side", "init", "e2e4 e7e5 g1f3 b8c6 f1c4 g8f6", "e1g1"},
      {"black castles queen side", "init", "d2d4 d7d5 c2c4 b8c6 b1c3 c8f5 g1f3 d8d7 e2e3", "e8c8"},
      {"en passant", "init", "e2e4 a7a6 e4e5 d7d5", "e5d6"},
      {"promotion to a queen", "Ke1 ke8 Pb7 rc8", "", "b7c8", 'q'},
      {"promotion to a rook", "Ke1 ke8 Pb7 rc8", "", "b7b8", 'r'},
      {"promotion to a bishop", "Ke1 ke8 Pb7 rc8", "", "b7b8", 'b'},
      {"promotion to a knight", "Ke1 kh8 Pb7 rc8", "", "b7c8", 'n'},
      {"black promotes", "Ke1 ke8 Ra1 ph2", "a1a2", "h2h1", 'n'},
      {"a check", "init", "e2e4 f7f6", "d1h5"},
      {"a mate", "init", "f2f3 e7e5 g2g4", "d8h4"},
      {"a stalemate", "ka8 Kc6 Qb5 Ph2", "", "b5b6"},
      {"the third repetition", "init", "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1", "f6g8"},
      {"a move after a repetition", "init", "g1f3 g8f6 f3g1 f6g8 g1f3", "b8c6"},
      {"the king's first step", "Ke1 ke8 Ra1 Rh1 ra8 rh8", "", "e1f1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TChessGame game;
    game.setPosition(std::string(c.board) == "init" ? "init" : Board(c.board));
    game.setWhiteToMove(true);
    game.OnPromotion = [&](TChessGame*, Square, Square, char& piece) { piece = c.promotion; };
    ASSERT_TRUE(Play(game, c.before));
    const std::string before = Everything(game);
    const int points = game.MovesToTakeBack();

    EventLog log(game);
    game.OnPromotion = [&](TChessGame*, Square, Square, char& piece) {
      log.Add("Promotion");
      piece = c.promotion;
    };
    const auto [from, to] = MoveOf(c.move);
    ASSERT_TRUE(game.MakeMove(from, to));
    const std::string events = log.Take();
    const std::string after = Everything(game);
    ASSERT_NE(after, before);

    ASSERT_TRUE(game.TakeBackMove());
    EXPECT_EQ(log.Take(), "") << "a take back fires no event";
    EXPECT_EQ(Everything(game), before);
    EXPECT_EQ(game.MovesToTakeBack(), points);

    ASSERT_TRUE(game.MakeMove(from, to));
    EXPECT_EQ(log.Take(), events) << "the move made again fires what it fired first";
    EXPECT_EQ(Everything(game), after);
  }
}

TEST(TakeBack, AWholeGameBackToTheStart) {
  // Castling both ways, en passant, captures, a promotion and checks.
  const std::string moves =
      "e2e4 d7d5 e4e5 f7f5 e5f6 g8f6 g1f3 c8g4 f1e2 b8c6 e1g1 d8d6 d2d4 e8c8 c2c4 d5c4 "
      "b1c3 e7e5 d4e5 d6d1 f1d1 d8d1 e2d1 c6e5 f3e5 g4d1 c3d1 f8c5 g1h1 h8e8 c1e3 c5e3 "
      "d1e3 c4c3 e5f3 c3b2 f3d4 b2a1 e3f1 e8e1";
  TChessGame game;
  std::vector<std::string> states{Everything(game)};
  std::istringstream in(moves);
  for (std::string m; in >> m;) {
    ASSERT_TRUE(game.MakeMove(MoveOf(m).first, MoveOf(m).second)) << m;
    states.push_back(Everything(game));
  }
  EXPECT_EQ(game.PieceAt(Square::A1), 'q');
  ASSERT_EQ(game.MovesToTakeBack(), static_cast<int>(states.size()) - 1);

  EventLog log(game);
  states.pop_back();
  while (!states.empty()) {
    ASSERT_TRUE(game.TakeBackMove());
    EXPECT_EQ(Everything(game), states.back()) << "after taking back to ply " << states.size() - 1;
    states.pop_back();
  }
  EXPECT_EQ(game.Position(), StartPosition);
  EXPECT_EQ(State(game), "white 1 -- 15");
  EXPECT_EQ(game.HistoryRecord(1, Side::White), nullptr);
  EXPECT_FALSE(game.TakeBackMove());
  EXPECT_EQ(log.Take(), "");
  // The game goes on as a new one.
  ASSERT_TRUE(Play(game, "e2e4 e7e5"));
  EXPECT_EQ(State(game), "white 2 e6 15");
  EXPECT_EQ(log.Take(), "LegalMove e2e4|Paint|LegalMove e7e5|Paint");
}

TEST(TakeBack, RefusedWithoutAMoveAndFromInsideAMove) {
  TChessGame game;
  EXPECT_FALSE(game.TakeBackMove());
  // A refused move leaves nothing to take back.
  EXPECT_FALSE(Play(game, "e2e5"));
  EXPECT_FALSE(game.TakeBackMove());

  // A handler sees a half-made move: it cannot take it back, nor an earlier
  // one.
  ASSERT_TRUE(Play(game, "e2e4"));
  std::vector<bool> answers;
  game.OnLegalMove = [&](TChessGame* g, Square, Square) { answers.push_back(g->TakeBackMove()); };
  game.OnCheck = game.OnLegalMove;
  ASSERT_TRUE(Play(game, "f7f6 d1h5"));
  EXPECT_EQ(answers, std::vector<bool>({false, false, false}));
  game.OnLegalMove = nullptr;
  game.OnCheck = nullptr;
  EXPECT_EQ(game.MovesToTakeBack(), 3);

  // A mate taken back ends the game no more; the moves are legal again.
  while (game.TakeBackMove()) {
  }
  game.OnMate = [](TChessGame*, Square, Square) {};  // the game ends only with a handler
  ASSERT_TRUE(Play(game, "g2g4 e7e5 f2f3 d8h4"));
  EXPECT_TRUE(game.GameOver());
  EXPECT_FALSE(game.HasLegalMove());
  ASSERT_TRUE(game.TakeBackMove());
  EXPECT_FALSE(game.GameOver());
  EXPECT_TRUE(game.IsLegalMove(Square::D8, Square::H4));
}

TEST(TakeBack, WritesAfterTheMoveAreUndoneWithIt) {
  // The game window may write the state between moves (a new position, a
  // side to move); the take back returns to the state before the move.
  TChessGame game;
  ASSERT_TRUE(Play(game, "e2e4"));
  const std::string before = Everything(game);
  ASSERT_TRUE(Play(game, "e7e5"));
  game.setPosition(Board("Ke1 ke8"));
  game.setCastlingAllowed(CastleSet());
  ASSERT_TRUE(game.TakeBackMove());
  EXPECT_EQ(Everything(game), before);
}

}  // namespace
