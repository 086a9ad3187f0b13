// The move routine: events in their order with the state each handler sees,
// whole games, the history writes and the hooks to the view and engine.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "ModelTestSupport.h"

namespace {

using Lines = std::vector<std::string>;

// Everything but the paint at the end of every move.
Lines WithoutPaint(const Lines& lines) {
  Lines out;
  for (const auto& l : lines)
    if (l != "Paint") out.push_back(l);
  return out;
}

TEST(Games, FoolsMate) {
  TChessGame game;
  EventLog log(game);
  ASSERT_EQ(Play(game, "f2f3 e7e5 g2g4"), 3);
  int moveAtMate = 0;
  bool whiteAtMate = false;
  game.OnMate = [&](TChessGame* sender, Square, Square) {
    EXPECT_EQ(sender, &game);
    EXPECT_TRUE(game.GameOver());
    moveAtMate = game.CurrentMove();
    whiteAtMate = game.WhiteToMove();
    log.lines.push_back("Mate");
  };
  log.lines.clear();
  ASSERT_TRUE(game.MakeMove(Square::D8, Square::H4));
  EXPECT_EQ(log.lines, (Lines{"LegalMove d8h4", "Check d8h4", "Mate", "Paint"}));
  EXPECT_EQ(moveAtMate, 3);
  EXPECT_TRUE(whiteAtMate);
  EXPECT_TRUE(game.GameOver());

  log.lines.clear();
  EXPECT_FALSE(game.MakeMove(Square::E2, Square::E4));
  EXPECT_FALSE(game.GameOver());  // every attempt clears the mark
  EXPECT_TRUE(log.lines.empty());
  EXPECT_FALSE(game.HasLegalMove());
}

TEST(Games, MateWithoutMateHandlerIsNeitherOverNorDrawn) {
  TChessGame game;
  EventLog log(game);
  game.OnMate = nullptr;
  ASSERT_EQ(Play(game, "f2f3 e7e5 g2g4 d8h4"), 4);
  EXPECT_EQ(log.lines.back(), "Paint");
  EXPECT_EQ(WithoutPaint(log.lines).back(), "Check d8h4");
  EXPECT_FALSE(game.GameOver());
}

TEST(Games, IllegalMoveChangesNothing) {
  TChessGame game;
  ASSERT_EQ(Play(game, "e2e4 e7e5"), 2);
  const std::string before = game.Position();
  const MoveInfo recorded = *game.HistoryRecord(2, TChessGame::Side::White);
  EventLog log(game);
  for (const char* move : {"e4e5", "e1e3", "d1d3", "a2a5", "e8e7", "b1d2"}) {
    EXPECT_FALSE(game.MakeMove(Sq(std::string(move).substr(0, 2)),
                               Sq(std::string(move).substr(2, 2))))
        << move;
  }
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(game.Position(), before);
  EXPECT_TRUE(game.WhiteToMove());
  EXPECT_EQ(game.CurrentMove(), 2);
  EXPECT_EQ(game.EnPassant(), Square::E6);
  EXPECT_EQ(game.CastlingAllowed(), CastleSet::All());
  EXPECT_EQ(game.HistoryRecord(2, TChessGame::Side::White)->PositionStr, recorded.PositionStr);
  EXPECT_EQ(game.HistoryRecord(2, TChessGame::Side::White)->OldSq, Square::None);
  EXPECT_EQ(game.HistoryRecord(2, TChessGame::Side::Black), nullptr);
  EXPECT_EQ(game.HistoryRecord(0, TChessGame::Side::White), nullptr);
}

TEST(Games, EachMoveWritesItsTurnAndTheNext) {
  TChessGame game;
  ASSERT_EQ(Play(game, "e2e4"), 1);
  const MoveInfo* played = game.HistoryRecord(1, TChessGame::Side::White);
  ASSERT_NE(played, nullptr);
  EXPECT_EQ(played->PositionStr, kStartPosition);
  EXPECT_EQ(played->OldSq, Square::E2);
  EXPECT_EQ(played->NewSq, Square::E4);
  EXPECT_EQ(played->EnPassantSq, Square::None);
  EXPECT_EQ(played->Castling, CastleSet::All());

  const MoveInfo* next = game.HistoryRecord(1, TChessGame::Side::Black);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->PositionStr, game.Position());
  EXPECT_EQ(next->EnPassantSq, Square::E3);
  EXPECT_EQ(next->OldSq, Square::None);

  ASSERT_EQ(Play(game, "e1e2"), 0);
  ASSERT_EQ(Play(game, "g8f6 e1e2"), 2);
  EXPECT_EQ(game.HistoryRecord(1, TChessGame::Side::Black)->OldSq, Square::G8);
  EXPECT_EQ(game.HistoryRecord(2, TChessGame::Side::Black)->Castling,
            CastleSet(0x0C));  // White's rights went with the king
}

TEST(Games, CastlingOnBothWings) {
  TChessGame game;
  EventLog log(game);
  char rookSeenOnH1 = '?';
  auto legalMove = game.OnLegalMove;
  game.OnLegalMove = [&](TChessGame* g, Square a, Square b) {
    if (a == Square::E1) rookSeenOnH1 = game.PieceAt(Square::H1);
    legalMove(g, a, b);
  };
  const std::string opening = "e2e4 d7d5 g1f3 b8c6 f1e2 c8g4 e1g1 d8d6 d2d3 e8c8";
  ASSERT_EQ(Play(game, opening), CountMoves(opening));
  EXPECT_EQ(rookSeenOnH1, 'R');
  EXPECT_EQ(game.PieceAt(Square::G1), 'K');
  EXPECT_EQ(game.PieceAt(Square::F1), 'R');
  EXPECT_EQ(game.PieceAt(Square::H1), ' ');
  EXPECT_EQ(game.PieceAt(Square::C8), 'k');
  EXPECT_EQ(game.PieceAt(Square::D8), 'r');
  EXPECT_EQ(game.PieceAt(Square::A8), ' ');
  EXPECT_TRUE(game.CastlingAllowed().Empty());

  const Lines events = WithoutPaint(log.lines);
  const auto at = std::find(events.begin(), events.end(), "LegalMove e1g1");
  ASSERT_NE(at, events.end());
  EXPECT_EQ(*(at + 1), "Castle e1g1");
  EXPECT_EQ(events.back(), "Castle e8c8");
}

TEST(Games, CastlingThatMates) {
  TChessGame game;
  game.setPosition(PositionWith({{"e1", 'K'}, {"a1", 'R'}, {"d8", 'k'}, {"c8", 'r'},
                                 {"e8", 'r'}, {"c7", 'p'}, {"e7", 'p'}}));
  EventLog log(game);
  ASSERT_TRUE(game.MakeMove(Square::E1, Square::C1));
  EXPECT_EQ(log.lines,
            (Lines{"LegalMove e1c1", "Castle e1c1", "Check e1c1", "Mate e1c1", "Paint"}));
  EXPECT_EQ(game.PieceAt(Square::D1), 'R');
}

TEST(Games, RightsGoWithTheSquareAMoveLeaves) {
  TChessGame game;
  game.setPosition(PositionWith({{"e1", 'K'}, {"a1", 'R'}, {"h1", 'R'}, {"e8", 'k'},
                                 {"h8", 'r'}, {"a8", 'r'}, {"g7", 'b'}, {"f8", 'n'}}));
  ASSERT_EQ(Play(game, "h1h2"), 1);
  CastleSet expected = CastleSet::All();
  expected.Exclude(CanStillCastle::WhiteKingSide);
  EXPECT_EQ(game.CastlingAllowed(), expected);
  // Captures on the corners take no right away.
  ASSERT_EQ(Play(game, "g7a1 h2h8"), 2);
  EXPECT_EQ(game.CastlingAllowed(), expected);
  ASSERT_EQ(Play(game, "a8a7"), 1);
  expected.Exclude(CanStillCastle::BlackQueenSide);
  EXPECT_EQ(game.CastlingAllowed(), expected);
}

TEST(Games, EnPassantSquareAndCapture) {
  TChessGame game;
  game.setPosition(PositionWith({{"e1", 'K'}, {"e8", 'k'}, {"e2", 'P'}, {"h2", 'P'},
                                 {"a7", 'p'}, {"d4", 'p'}}));
  ASSERT_EQ(Play(game, "h2h4"), 1);
  EXPECT_EQ(game.EnPassant(), Square::H3);  // set though no pawn can take
  ASSERT_EQ(Play(game, "a7a6"), 1);
  EXPECT_EQ(game.EnPassant(), Square::None);
  ASSERT_EQ(Play(game, "e2e4"), 1);
  EXPECT_EQ(game.EnPassant(), Square::E3);

  EventLog log(game);
  char onE4AtLegalMove = '?';
  game.OnLegalMove = [&](TChessGame*, Square, Square) {
    onE4AtLegalMove = game.PieceAt(Square::E4);
    log.lines.push_back("LegalMove");
  };
  ASSERT_TRUE(game.MakeMove(Square::D4, Square::E3));
  EXPECT_EQ(onE4AtLegalMove, 'P');
  EXPECT_EQ(WithoutPaint(log.lines), (Lines{"LegalMove", "Capture d4e3 P"}));
  EXPECT_EQ(game.PieceAt(Square::E4), ' ');
  EXPECT_EQ(game.PieceAt(Square::E3), 'p');
  EXPECT_EQ(game.EnPassant(), Square::None);
}

TEST(Games, AStraightStepOntoTheEnPassantSquareTakesNothing) {
  TChessGame game;
  game.setPosition(PositionWith({{"e1", 'K'}, {"e8", 'k'}, {"d5", 'P'}, {"c5", 'p'}}));
  game.setEnPassant(Square::D6);
  EventLog log(game);
  ASSERT_TRUE(game.MakeMove(Square::D5, Square::D6));
  EXPECT_EQ(WithoutPaint(log.lines), (Lines{"LegalMove d5d6"}));
  EXPECT_EQ(game.PieceAt(Square::C5), 'p');
}

class Promotion : public ::testing::Test {
 protected:
  void SetUp() override {
    game.setPosition(PositionWith({{"a1", 'K'}, {"h7", 'k'}, {"b7", 'P'}, {"c8", 'r'},
                                   {"g2", 'p'}}));
  }
  TChessGame game;
};

TEST_F(Promotion, WithCaptureAndNoHandlerGivesAQueen) {
  EventLog log(game);
  char onC8AtLegalMove = '?';
  game.OnLegalMove = [&](TChessGame*, Square, Square) {
    onC8AtLegalMove = game.PieceAt(Square::C8);
    log.lines.push_back("LegalMove");
  };
  ASSERT_TRUE(game.MakeMove(Square::B7, Square::C8));
  EXPECT_EQ(onC8AtLegalMove, 'P');
  EXPECT_EQ(game.PieceAt(Square::C8), 'Q');
  EXPECT_EQ(WithoutPaint(log.lines), (Lines{"LegalMove", "Capture b7c8 r"}));
  ASSERT_TRUE(game.MakeMove(Square::G2, Square::G1));
  EXPECT_EQ(game.PieceAt(Square::G1), 'q');
}

TEST_F(Promotion, TheChosenLetterStaysForLaterPromotions) {
  Lines order;
  game.OnCapture = [&](TChessGame*, Square, Square, char) { order.push_back("Capture"); };
  game.OnPromotion = [&](TChessGame* sender, Square a, Square b, char& piece) {
    EXPECT_EQ(sender, &game);
    order.push_back("Promotion " + NameOf(a) + NameOf(b) + " " + std::string(1, piece));
    piece = 'n';
  };
  ASSERT_TRUE(game.MakeMove(Square::B7, Square::C8));
  EXPECT_EQ(game.PieceAt(Square::C8), 'N');
  EXPECT_EQ(game.PromotionPiece(), 'n');
  ASSERT_TRUE(game.MakeMove(Square::G2, Square::G1));
  EXPECT_EQ(game.PieceAt(Square::G1), 'n');
  EXPECT_EQ(order, (Lines{"Capture", "Promotion b7c8 q", "Promotion g2g1 n"}));

  game.OnPromotion = nullptr;  // with no handler the last choice still holds
  game.setPosition(PositionWith({{"a1", 'K'}, {"h8", 'k'}, {"b7", 'P'}}));
  game.setWhiteToMove(true);
  ASSERT_TRUE(game.MakeMove(Square::B7, Square::B8));
  EXPECT_EQ(game.PieceAt(Square::B8), 'N');
}

TEST_F(Promotion, ALetterThatIsNoPieceKeepsTheOfferedOne) {
  game.OnPromotion = [](TChessGame*, Square, Square, char& piece) { piece = '!'; };
  ASSERT_TRUE(game.MakeMove(Square::B7, Square::B8));
  EXPECT_EQ(game.PieceAt(Square::B8), 'Q');
  EXPECT_EQ(game.PromotionPiece(), 'q');
  game.OnPromotion = [](TChessGame*, Square, Square, char& piece) { piece = 'R'; };
  ASSERT_TRUE(game.MakeMove(Square::G2, Square::G1));
  EXPECT_EQ(game.PieceAt(Square::G1), 'r');
}

TEST(Games, StalemateIsADrawOnlyWithAHandler) {
  for (bool drawHandler : {true, false}) {
    TChessGame game;
    game.setPosition(PositionWith({{"a8", 'k'}, {"c6", 'K'}, {"b5", 'Q'}, {"h2", 'P'}}));
    EventLog log(game, drawHandler);
    ASSERT_TRUE(game.MakeMove(Square::B5, Square::B6));
    Lines expected{"LegalMove b5b6", "StaleMate b5b6"};
    if (drawHandler) expected.push_back("Draw");
    EXPECT_EQ(WithoutPaint(log.lines), expected);
    EXPECT_EQ(game.GameOver(), drawHandler);
    EXPECT_FALSE(game.MakeMove(Square::A8, Square::B8));
  }
}

TEST(Games, StalemateWithoutMatingMaterialDrawsOnce) {
  TChessGame game;
  // The knight takes the checking rook and leaves king and knight against
  // a king that cannot move.
  game.setPosition(PositionWith({{"h8", 'k'}, {"f7", 'K'}, {"e4", 'N'}, {"f6", 'r'}}));
  EventLog log(game);
  ASSERT_TRUE(game.MakeMove(Square::E4, Square::F6));
  EXPECT_EQ(WithoutPaint(log.lines), (Lines{"LegalMove e4f6", "Capture e4f6 r", "StaleMate e4f6",
                                            "NoMatingMaterial", "Draw"}));
}

TEST(Games, MatingMaterial) {
  struct Case {
    const char* capturer;  // takes the Black rook on g7: "b2" bishop, "e6" knight, "h8" king
    std::string whiteKeeps;
    std::string blackKeeps;
    bool drawn;
  };
  const Case cases[] = {
      {"b2", "", "", true},    {"e6", "", "", true},     {"h8", "", "", true},
      {"e6", "N", "", true},   {"e6", "", "n", true},    {"b2", "", "b", true},
      {"b2", "N", "", false},  {"b2", "B", "", false},   {"e6", "NN", "", false},
      {"e6", "P", "", false},  {"h8", "", "bn", false},  {"h8", "", "q", false},
  };
  for (const Case& c : cases) {
    std::string text = PositionWith({{"e1", 'K'}, {"c8", 'k'}, {"g7", 'r'}});
    const char piece = std::string(c.capturer) == "b2" ? 'B' : std::string(c.capturer) == "e6" ? 'N' : 'K';
    text[SquareIndex(Sq(c.capturer)) - 1] = piece;
    if (piece == 'K') text[SquareIndex(Square::E1) - 1] = ' ';
    const char* whiteHomes[] = {"a2", "b3"};
    const char* blackHomes[] = {"a6", "a5"};
    for (std::size_t i = 0; i < c.whiteKeeps.size(); ++i)
      text[SquareIndex(Sq(whiteHomes[i])) - 1] = c.whiteKeeps[i];
    for (std::size_t i = 0; i < c.blackKeeps.size(); ++i)
      text[SquareIndex(Sq(blackHomes[i])) - 1] = c.blackKeeps[i];
    TChessGame game;
    game.setPosition(text);
    EventLog log(game);
    ASSERT_TRUE(game.MakeMove(Sq(c.capturer), Square::G7)) << c.capturer << c.whiteKeeps;
    const Lines events = WithoutPaint(log.lines);
    const bool flagged =
        std::find(events.begin(), events.end(), "NoMatingMaterial") != events.end();
    EXPECT_EQ(flagged, c.drawn) << c.capturer << " +" << c.whiteKeeps << " / +" << c.blackKeeps;
    EXPECT_EQ(game.GameOver(), c.drawn);
  }
}

TEST(Games, CaptureLeavingBishopAgainstKing) {
  TChessGame game;
  game.setPosition(PositionWith({{"e1", 'K'}, {"e8", 'k'}, {"b2", 'B'}, {"g7", 'r'}}));
  EventLog log(game);
  ASSERT_TRUE(game.MakeMove(Square::B2, Square::G7));
  EXPECT_EQ(WithoutPaint(log.lines),
            (Lines{"LegalMove b2g7", "Capture b2g7 r", "NoMatingMaterial", "Draw"}));
  EXPECT_TRUE(game.GameOver());
  // Play goes on after a draw for lack of material.
  EXPECT_TRUE(game.MakeMove(Square::E8, Square::F7));
}

TEST(Games, ThreefoldRepetitionEndsTheGame) {
  TChessGame game;
  EventLog log(game);
  ASSERT_EQ(Play(game, "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1"), 7);
  EXPECT_FALSE(game.GameOver());
  log.lines.clear();
  ASSERT_TRUE(game.MakeMove(Square::F6, Square::G8));
  EXPECT_EQ(log.lines, (Lines{"LegalMove f6g8", "Threefold", "Draw", "Paint"}));
  EXPECT_TRUE(game.GameOver());
  EXPECT_FALSE(game.MakeMove(Square::E2, Square::E4));
  EXPECT_FALSE(game.MakeMove(Square::G1, Square::F3));
}

// Kings stepping back and forth while a handful of Black pawns spell out the
// turn number, so that no board repeats.
std::string CountingBoard(int n) {
  std::string text = PositionWith({{"e1", 'K'}, {"e8", 'k'}});
  for (int bit = 0; bit < 16; ++bit)
    if (n & (1 << bit)) text[SquareIndex(SquareFromIndex(25 + bit)) - 1] = 'p';
  return text;
}

TEST(Games, LongGamesKeepTheirHistory) {
  TChessGame game;
  for (int turn = 0; turn < 700; ++turn) {
    game.setPosition(CountingBoard(turn));
    const bool white = game.WhiteToMove();
    ASSERT_TRUE(white ? game.MakeMove(Square::E1, Square::E2)
                      : game.MakeMove(Square::E8, Square::E7))
        << turn;
  }
  EXPECT_EQ(game.CurrentMove(), 351);
  const MoveInfo* late = game.HistoryRecord(300, TChessGame::Side::Black);
  ASSERT_NE(late, nullptr);
  EXPECT_EQ(late->OldSq, Square::E8);

  // The repetition test still works far beyond move 256.
  game.setPosition(PositionWith({{"e1", 'K'}, {"e8", 'k'}, {"a1", 'R'}}));
  ASSERT_EQ(Play(game, "e1d1 e8d8 d1e1 d8e8 e1d1 e8d8 d1e1"), 7);
  EXPECT_FALSE(game.IsThreefold());
  ASSERT_EQ(Play(game, "d8e8"), 1);
  EXPECT_TRUE(game.IsThreefold());
  EXPECT_FALSE(game.HasLegalMove());
}

TEST(Games, HandlersThatRewriteTheGameMidMove) {
  // Whatever a handler writes, the routine finishes on the changed state.
  const std::vector<std::function<void(TChessGame&)>> rewrites = {
      [](TChessGame& g) { g.setPosition(""); },
      [](TChessGame& g) { g.setPosition(std::string(80, 'P')); },
      [](TChessGame& g) { g.setPosition("init"); },
      [](TChessGame& g) { g.setWhiteToMove(!g.WhiteToMove()); },
      [](TChessGame& g) { g.MakeMove(Square::E7, Square::E5); },
  };
  for (std::size_t i = 0; i < rewrites.size(); ++i) {
    for (int at = 0; at < 4; ++at) {
      TChessGame game;
      bool done = false;
      auto once = [&] {
        if (!done) {
          done = true;
          rewrites[i](game);
        }
      };
      if (at == 0) game.OnLegalMove = [&](TChessGame*, Square, Square) { once(); };
      if (at == 1) game.OnCapture = [&](TChessGame*, Square, Square, char) { once(); };
      if (at == 2) game.OnPromotion = [&](TChessGame*, Square, Square, char&) { once(); };
      if (at == 3) game.OnPaint = [&](TChessGame*) { once(); };
      game.setPosition(PositionWith({{"e1", 'K'}, {"e8", 'k'}, {"b7", 'P'}, {"a8", 'r'},
                                     {"e7", 'p'}, {"d5", 'P'}}));
      EXPECT_TRUE(game.MakeMove(Square::B7, Square::A8)) << i << "/" << at;
      EXPECT_TRUE(done) << i << "/" << at;
      EXPECT_EQ(game.Position().size(), 64u);
      game.HasLegalMove();
      game.IsThreefold();
    }
  }
}

// Records the calls into the view and the engine.
class RecordingHooks : public TChessGameHooks {
 public:
  void StopThinking() override { calls.push_back("Stop"); }
  void StartThinking() override { calls.push_back("Start"); }
  void ReleaseEngineHold() override { calls.push_back("Release"); }
  void PaintSquare(Square sq) override { calls.push_back("Square " + NameOf(sq)); }
  void DrawPiece(Square sq) override { calls.push_back("Piece " + NameOf(sq)); }
  void PaintBoardLines() override { calls.push_back("Lines"); }
  void PaintAll() override { calls.push_back("All"); }
  bool AnimateMoves() const override { return animate; }
  void AnimateMove(Square a, Square b) override {
    calls.push_back("Animate " + NameOf(a) + NameOf(b));
  }
  Square DragFromSquare() const override { return dragFrom; }
  Square DropSquare() const override { return drop; }

  Lines calls;
  bool animate = false;
  Square dragFrom = Square::None;
  Square drop = Square::None;
};

class HookedGame : public TChessGame {
 public:
  explicit HookedGame(TChessGameHooks* hooks) { setHooks(hooks); }
};

TEST(Hooks, RepaintsOfAPlainMove) {
  RecordingHooks hooks;
  HookedGame game(&hooks);
  ASSERT_TRUE(game.MakeMove(Square::E2, Square::E4));
  EXPECT_EQ(hooks.calls, (Lines{"Square e2", "Square e4", "Piece e4", "Lines"}));
}

TEST(Hooks, AnimationOnlyForMovesNotJustDropped) {
  RecordingHooks hooks;
  hooks.animate = true;
  HookedGame game(&hooks);
  hooks.dragFrom = Square::E2;
  hooks.drop = Square::E4;
  ASSERT_TRUE(game.UserMove(Square::E2, Square::E4));
  EXPECT_EQ(hooks.calls, (Lines{"Stop", "Square e2", "Square e4", "Piece e4", "Lines",
                                "Release", "Start"}));
  hooks.calls.clear();
  ASSERT_TRUE(game.MakeMove(Square::E7, Square::E5));
  EXPECT_EQ(hooks.calls, (Lines{"Square e7", "Lines", "Animate e7e5", "Square e5", "Piece e5",
                                "Lines"}));
}

TEST(Hooks, CastlingEnPassantAndPromotionRepaintTheirSquares) {
  RecordingHooks hooks;
  HookedGame game(&hooks);
  game.setPosition(PositionWith({{"e1", 'K'}, {"h1", 'R'}, {"e8", 'k'}, {"b7", 'P'},
                                 {"e5", 'P'}, {"d7", 'p'}}));
  ASSERT_EQ(Play(game, "e1g1 d7d5"), 2);
  hooks.calls.clear();
  ASSERT_TRUE(game.MakeMove(Square::E5, Square::D6));
  EXPECT_EQ(hooks.calls, (Lines{"Square e5", "Square d6", "Piece d6", "Lines", "Square d5"}));

  game.setPosition(PositionWith({{"e1", 'K'}, {"h1", 'R'}, {"e8", 'k'}, {"b7", 'P'}}));
  game.setWhiteToMove(true);
  hooks.calls.clear();
  ASSERT_TRUE(game.MakeMove(Square::B7, Square::B8));
  EXPECT_EQ(hooks.calls,
            (Lines{"Square b7", "Square b8", "Piece b8", "Lines", "Square b8", "Piece b8"}));

  game.setPosition(PositionWith({{"e1", 'K'}, {"h1", 'R'}, {"e8", 'k'}}));
  game.setWhiteToMove(true);
  game.setCastlingAllowed(CastleSet::All());
  hooks.calls.clear();
  ASSERT_TRUE(game.MakeMove(Square::E1, Square::G1));
  EXPECT_EQ(hooks.calls, (Lines{"Square e1", "Square g1", "Piece g1", "Lines", "Square h1",
                                "Piece f1", "Lines"}));
}

TEST(Hooks, UserMoveReleasesTheEngineEvenWhenRefusedOrAHandlerThrows) {
  RecordingHooks hooks;
  HookedGame game(&hooks);
  EXPECT_FALSE(game.UserMove(Square::E2, Square::E5));
  EXPECT_EQ(hooks.calls, (Lines{"Stop", "Release", "Start"}));
  hooks.calls.clear();
  game.OnLegalMove = [](TChessGame*, Square, Square) { throw std::runtime_error("handler"); };
  EXPECT_THROW(game.UserMove(Square::E2, Square::E4), std::runtime_error);
  ASSERT_GE(hooks.calls.size(), 2u);
  EXPECT_EQ(hooks.calls[hooks.calls.size() - 2], "Release");
  EXPECT_EQ(hooks.calls.back(), "Start");
}

TEST(Hooks, PromotePawnTakesTheCaseFromTheRank) {
  TChessGame game;
  game.setPosition(PositionWith({{"a8", 'P'}, {"h1", 'p'}, {"d4", 'P'}}));
  game.PromotePawn(Square::A8);
  game.PromotePawn(Square::H1);
  game.PromotePawn(Square::D4);
  EXPECT_EQ(game.PieceAt(Square::A8), 'Q');
  EXPECT_EQ(game.PieceAt(Square::H1), 'q');
  EXPECT_EQ(game.PieceAt(Square::D4), 'P');
}

}  // namespace
