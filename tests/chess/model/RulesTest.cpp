// The position string, the state's write rules and the legality of moves.

#include <gtest/gtest.h>

#include "tests/chess/model/ModelTestSupport.h"

namespace {

TEST(Position, NewGameAndSquaresOffTheBoard) {
  TChessGame game;
  EXPECT_EQ(std::string(game.Board().data(), 66), "_" + StartPosition + '\0');
  EXPECT_EQ(State(game), "white 1 -- 15");
  EXPECT_EQ(game.PromotionPiece(), 'q');
  EXPECT_EQ(game.HistoryRecord(1, TChessGame::Side::White), nullptr);
  EXPECT_EQ(game.SideOf(static_cast<Square>(200)), -1);
  EXPECT_EQ(game.PieceAt(static_cast<Square>(200)), ' ');
}

TEST(Position, TextIsReadSquareBySquareAndKeywordsResetThePiecesOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"", std::string(64, ' ')},
      {"init ", Board("nb8")},                                   // no keyword: only the "n" is a piece letter
      {"_" + StartPosition, " " + StartPosition.substr(0, 63)},  // the 65th is dropped
      {std::string(70, 'Q'), std::string(64, 'Q')},
      {"KxQ#k", Board("Ka8 Qc8 ke8")},
      {std::string("KQ\0kq", 5), Board("Ka8 Qb8")},
  };
  for (const auto& [text, expected] : cases) {
    TChessGame game;
    game.setPosition(text);
    EXPECT_EQ(game.Position(), expected) << text;
    EXPECT_EQ(std::string(game.Board().data(), 66), " " + expected + '\0');
  }
  TChessGame game;
  ASSERT_TRUE(Play(game, "e2e4"));
  game.setCastlingAllowed(CastleSet(0x05));
  for (const char* keyword : {"NewGame", "INIT", "init", "newgame"}) {
    game.setPosition("");
    game.setPosition(keyword);
    EXPECT_EQ(std::string(game.Board().data(), 66), "_" + StartPosition + '\0') << keyword;
    EXPECT_EQ(State(game), "black 1 e3 5");
  }
}

TEST(Position, WritesStopTheEngineFirstAndRefusedOnesDoNot) {
  struct CountingHooks : TChessGameHooks {
    void StopThinking() override { ++stops; }
    void PaintAll() override { ++fullPaints; }
    int stops = 0, fullPaints = 0;
  } hooks;
  TChessGame game;
  game.setHooks(&hooks);
  game.setEnPassant(Square::E3);
  game.setEnPassant(Square::E4);
  game.setEnPassant(Square::None);
  EXPECT_EQ(game.EnPassant(), Square::E3);
  EXPECT_EQ(hooks.stops, 1);
  game.setEnPassant(Square::H6);
  game.setWhiteToMove(false);
  EXPECT_EQ(State(game), "black 1 h6 15");
  EXPECT_EQ(hooks.stops, 3);
  game.setPosition("init");
  EXPECT_EQ(hooks.stops, 4);
  EXPECT_EQ(hooks.fullPaints, 1);
}

// The movement of the pieces in games from the starting position is compared
// with stockfish (StockfishDiffTest); these are the cases such games seldom
// or never reach, and this model's own rules.
TEST(Rules, LegalityOfMoves) {
  struct Case {
    const char* board;   // "init" for the starting position
    bool white;          // to move before `before`
    const char* before;  // moves played first
    const char* legal;
    const char* illegal;
  };
  const Case cases[] = {
      // Empty origin, the side not to move, onto its own piece, staying put.
      {"init", true, "", "e2e4 g1f3", "e4e5 e7e5 a1a2 e2e2"},
      // Squares next to each other by number but on opposite edges.
      {"Ba1 rh8 Ke1 ke8 Rh4 Qh5", true, "", "a1h8 h4a4 h5d1", "h4a3 h5a4 h4h6"},
      // Castling needs the rook on its corner and the right, which a move
      // from the corner takes; b1 alone may be attacked.
      {"Ke1 Ra1 ke8", true, "", "e1c1", "e1g1"},
      {"Ke1 ke8 ra8", false, "a8a7 e1e2 a7a8 e2e1", "", "e8c8"},
      {"Ke1 Ra1 Rh1 ke8 rb5", true, "", "e1c1 e1g1", ""},
      // A king of the other colour on e1/e8 does not use that side's rights.
      {"ke1 Rh1 Ka8", false, "", "e1e2", "e1g1"},
      {"Ke8 rh8 ka1", true, "", "", "e8g8"},
      // A capture on the corner takes no right away; the retaking rook castles.
      {"Ke1 Rh1 Rh2 bg2 ke8 ra8", false, "g2h1 h2h1 a8a7", "e1g1", ""},
      // En passant: not by a pawn pinned along its rank, but it may take the
      // pawn that gives check.
      {"Ka5 ke8 Pe5 pd7 rh5", false, "d7d5", "e5e6", "e5d6"},
      {"Ke4 ke8 Pe5 pd7", false, "d7d5", "e5d6", "e5e6"},
      // Without a king Black cannot move and White moves freely.
      {"Ra1 rh8 Ke1", false, "", "", "h8h1"},
      {"Ra1 rh8 ke8", true, "", "a1a8", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.board) + " / " + c.before);
    TChessGame game;
    game.setPosition(std::string(c.board) == "init" ? "init" : Board(c.board));
    game.setWhiteToMove(c.white);
    ASSERT_TRUE(Play(game, c.before));
    for (const auto& [moves, legal] : {std::pair{c.legal, true}, std::pair{c.illegal, false}}) {
      std::istringstream in(moves);
      for (std::string m; in >> m;)
        EXPECT_EQ(game.IsLegalMove(MoveOf(m).first, MoveOf(m).second), legal) << m;
    }
  }
  TChessGame game;
  EXPECT_FALSE(game.IsLegalMove(Square::None, Square::E4));
  EXPECT_FALSE(game.IsLegalMove(Square::E2, static_cast<Square>(70)));
  game.setPosition(Board("Ra1 rh8 Ke1"));
  game.setWhiteToMove(false);
  EXPECT_FALSE(game.HasLegalMove());
}

}  // namespace
