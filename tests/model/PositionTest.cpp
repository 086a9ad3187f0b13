// The squares, the position string and the write rules of the state.

#include <gtest/gtest.h>

#include "ModelTestSupport.h"

namespace {

// Counts the engine stops that state writes must make first.
class CountingHooks : public TChessGameHooks {
 public:
  void StopThinking() override { ++stops; }
  void PaintAll() override { ++fullPaints; }
  int stops = 0;
  int fullPaints = 0;
};

class HookedGame : public TChessGame {
 public:
  explicit HookedGame(TChessGameHooks* hooks) { setHooks(hooks); }
};

TEST(Squares, NumberingAndCoordinatesAgree) {
  EXPECT_EQ(FileOf(Square::A8), 1);
  EXPECT_EQ(RankOf(Square::A8), 8);
  EXPECT_EQ(FileOf(Square::H1), 8);
  EXPECT_EQ(RankOf(Square::H1), 1);
  EXPECT_EQ(SquareOf(5, 1), Square::E1);
  EXPECT_EQ(SquareIndex(Square::E1), 61);
  EXPECT_EQ(FileOf(Square::None), 0);
  EXPECT_EQ(RankOf(Square::None), 0);
  for (int n = 1; n <= 64; ++n) {
    const Square sq = SquareFromIndex(n);
    EXPECT_EQ(SquareOf(FileOf(sq), RankOf(sq)), sq) << n;
  }
}

TEST(Squares, SteppingOffTheBoardNeverWraps) {
  EXPECT_EQ(SquareOf(0, 5), Square::None);
  EXPECT_EQ(SquareOf(9, 1), Square::None);
  EXPECT_EQ(SquareOf(1, 0), Square::None);
  EXPECT_EQ(SquareOf(1, 9), Square::None);
  EXPECT_EQ(SquareFromIndex(0), Square::None);
  EXPECT_EQ(SquareFromIndex(65), Square::None);
}

TEST(Position, NewGameState) {
  TChessGame game;
  EXPECT_EQ(game.Position(), kStartPosition);
  EXPECT_EQ(game.Board()[0], '_');
  EXPECT_EQ(game.Board()[65], '\0');
  EXPECT_TRUE(game.WhiteToMove());
  EXPECT_EQ(game.CurrentMove(), 1);
  EXPECT_EQ(game.EnPassant(), Square::None);
  EXPECT_EQ(game.CastlingAllowed(), CastleSet::All());
  EXPECT_EQ(game.PromotionPiece(), 'q');
  EXPECT_FALSE(game.GameOver());
  EXPECT_EQ(game.HistoryRecord(1, TChessGame::Side::White), nullptr);
}

TEST(Position, SideOfTellsColourByCaseAlone) {
  TChessGame game;
  game.setPosition(PositionWith({{"a8", 'K'}, {"b8", 'k'}, {"c8", 'P'}, {"d8", 'r'}}));
  EXPECT_EQ(game.SideOf(Square::A8), 1);
  EXPECT_EQ(game.SideOf(Square::B8), 0);
  EXPECT_EQ(game.SideOf(Square::C8), 1);
  EXPECT_EQ(game.SideOf(Square::D8), 0);
  EXPECT_EQ(game.SideOf(Square::E8), -1);
  EXPECT_EQ(game.SideOf(Square::None), -1);
  EXPECT_EQ(game.SideOf(static_cast<Square>(200)), -1);
  EXPECT_EQ(game.PieceAt(static_cast<Square>(200)), ' ');
}

TEST(Position, TextIsReadSquareBySquare) {
  TChessGame game;
  game.setPosition("");
  EXPECT_EQ(game.Position(), std::string(64, ' '));
  EXPECT_EQ(game.Board()[0], ' ');

  // Not a keyword: only the "n" is a piece letter.
  game.setPosition("init ");
  EXPECT_EQ(game.Position(), PositionWith({{"b8", 'n'}}));

  // A leading filler shifts every piece one square on; the 65th is dropped.
  game.setPosition("_" + kStartPosition);
  EXPECT_EQ(game.Position(), " " + kStartPosition.substr(0, 63));

  game.setPosition(std::string(70, 'Q'));
  EXPECT_EQ(game.Position(), std::string(64, 'Q'));

  game.setPosition("KxQ#k");
  EXPECT_EQ(game.Position(), PositionWith({{"a8", 'K'}, {"c8", 'Q'}, {"e8", 'k'}}));

  game.setPosition(std::string("KQ\0kq", 5));
  EXPECT_EQ(game.Position(), PositionWith({{"a8", 'K'}, {"b8", 'Q'}}));
}

TEST(Position, KeywordsResetThePiecesOnly) {
  TChessGame game;
  ASSERT_EQ(Play(game, "e2e4"), 1);
  game.setCastlingAllowed(CastleSet(0x05));
  for (const char* keyword : {"NewGame", "INIT", "init", "newgame"}) {
    game.setPosition("");
    game.setPosition(keyword);
    EXPECT_EQ(game.Position(), kStartPosition) << keyword;
    EXPECT_EQ(game.Board()[0], '_');
    EXPECT_FALSE(game.WhiteToMove());
    EXPECT_EQ(game.CurrentMove(), 1);
    EXPECT_EQ(game.EnPassant(), Square::E3);
    EXPECT_EQ(game.CastlingAllowed(), CastleSet(0x05));
  }
}

TEST(Position, PropertyWriteRules) {
  CountingHooks hooks;
  HookedGame game(&hooks);
  hooks.stops = 0;

  game.setEnPassant(Square::E3);
  EXPECT_EQ(game.EnPassant(), Square::E3);
  EXPECT_EQ(hooks.stops, 1);
  game.setEnPassant(Square::E4);
  game.setEnPassant(Square::None);
  EXPECT_EQ(game.EnPassant(), Square::E3);
  EXPECT_EQ(hooks.stops, 1);  // refused writes leave the engine alone
  game.setEnPassant(Square::A6);
  game.setEnPassant(Square::H6);
  EXPECT_EQ(game.EnPassant(), Square::H6);

  game.setCurrentMove(10);
  EXPECT_EQ(game.CurrentMove(), 1);

  game.setWhiteToMove(false);
  EXPECT_FALSE(game.WhiteToMove());
  EXPECT_EQ(hooks.stops, 4);

  game.setCastlingAllowed(CastleSet());
  EXPECT_TRUE(game.CastlingAllowed().Empty());
  EXPECT_EQ(hooks.stops, 4);

  hooks.fullPaints = 0;
  game.setPosition("init");
  EXPECT_EQ(hooks.stops, 5);
  EXPECT_EQ(hooks.fullPaints, 1);
}

}  // namespace
