// The move routine: events in their order with the state each handler sees,
// the history it writes, draws, handlers that rewrite the game, and the hooks
// to the view and engine.

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "tests/chess/model/ModelTestSupport.h"

namespace {

using Side = TChessGame::Side;

TEST(MakeMove, EventsInOrderWithTheStateEachHandlerSees) {
  struct Case {
    const char* board;   // "init" for the starting position; White to move
    const char* before;  // moves played first
    const char* move;
    const char* events;
    const char* after;  // the pieces after the move, when checked
    bool bare = false;  // without OnMate and OnDraw handlers
  };
  const Case cases[] = {
      {"init", "f2f3 e7e5 g2g4", "d8h4", "LegalMove d8h4|Check d8h4|Mate d8h4|Paint", nullptr},
      {"init", "f2f3 e7e5 g2g4", "d8h4", "LegalMove d8h4|Check d8h4|Paint", nullptr, true},
      {"Ke1 Ra1 kd8 rc8 re8 pc7 pe7", "", "e1c1", "LegalMove e1c1|Castle e1c1|Check e1c1|Mate e1c1|Paint",
       "Kc1 Rd1 kd8 rc8 re8 pc7 pe7"},
      {"Ke1 ke8 Pe2 Ph2 pa7 pd4", "h2h4 a7a6 e2e4", "d4e3", "LegalMove d4e3|Capture d4e3 P|Paint",
       "Ke1 ke8 Ph4 pa6 pe3"},
      {"Ka1 kh7 Pb7 rc8", "", "b7c8", "LegalMove b7c8|Capture b7c8 r|Paint", "Ka1 kh7 Qc8"},
      {"ka8 Kc6 Qb5 Ph2", "", "b5b6", "LegalMove b5b6|StaleMate b5b6|Draw|Paint", nullptr},
      {"ka8 Kc6 Qb5 Ph2", "", "b5b6", "LegalMove b5b6|StaleMate b5b6|Paint", nullptr, true},
      {"kh8 Kf7 Ne4 rf6", "", "e4f6",
       "LegalMove e4f6|Capture e4f6 r|StaleMate e4f6|NoMatingMaterial|Draw|Paint", nullptr},
      {"init", "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1", "f6g8", "LegalMove f6g8|Threefold|Draw|Paint", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.board) + " / " + c.before + " / " + c.move);
    TChessGame game;
    game.setPosition(std::string(c.board) == "init" ? "init" : Board(c.board));
    ASSERT_TRUE(Play(game, c.before));
    EventLog log(game);
    const auto [from, to] = MoveOf(c.move);
    // Handlers run once the piece has moved and the turn has passed, before
    // the rest of the move (rook, promotion, pawn taken en passant) is made.
    std::string moved = game.Position();
    moved[SquareIndex(to) - 1] = std::exchange(moved[SquareIndex(from) - 1], ' ');
    const std::string turnAfter = game.WhiteToMove() ? "black " + std::to_string(game.CurrentMove())
                                                     : "white " + std::to_string(game.CurrentMove() + 1);
    game.OnLegalMove = [&, logged = game.OnLegalMove](TChessGame* sender, Square a, Square b) {
      EXPECT_EQ(sender, &game);
      EXPECT_EQ(game.Position(), moved);
      EXPECT_EQ(State(game).substr(0, turnAfter.size()), turnAfter);
      logged(sender, a, b);
    };
    game.OnMate = [&, logged = game.OnMate](TChessGame* sender, Square a, Square b) {
      EXPECT_TRUE(game.GameOver());
      logged(sender, a, b);
    };
    if (c.bare) {
      game.OnMate = nullptr;
      game.OnDraw = nullptr;
    }
    ASSERT_TRUE(game.MakeMove(from, to));
    EXPECT_EQ(log.Take(), c.events);
    if (c.after) {
      EXPECT_EQ(game.Position(), Board(c.after));
    }
    const std::string events = c.events;
    EXPECT_EQ(game.GameOver(),
              events.find("|Mate") != std::string::npos || events.find("|Draw") != std::string::npos);
    EXPECT_FALSE(game.MakeMove(Square::None, Square::None));
    EXPECT_FALSE(game.GameOver());  // every attempt clears the mark
    EXPECT_EQ(log.Take(), "");
  }

  // A straight step onto a written en passant square takes nothing.
  TChessGame game;
  game.setPosition(Board("Ke1 ke8 Pd5 pc5"));
  game.setEnPassant(Square::D6);
  EventLog log(game);
  ASSERT_TRUE(Play(game, "d5d6"));
  EXPECT_EQ(log.Take(), "LegalMove d5d6|Paint");
  EXPECT_EQ(game.Position(), Board("Ke1 ke8 Pd6 pc5"));
}

TEST(MakeMove, EnPassantSquareAndCastlingRightsAfterEachMove) {
  TChessGame game;
  game.setPosition(Board("Ke1 Ra1 Rh1 ke8 rh8 ra8 bg7 nf8 Pe2 pd7"));
  // The square passed over is written whether or not a pawn can take there.
  const std::pair<const char*, const char*> steps[] = {
      {"e2e4", "black 1 e3 15"}, {"d7d6", "white 2 -- 15"}, {"h1h2", "black 2 -- 14"},
      {"g7a1", "white 3 -- 14"},  // captures on corners take no right
      {"h2h8", "black 3 -- 14"}, {"a8a7", "white 4 -- 6"},  {"e1d1", "black 4 -- 4"},
  };
  for (const auto& [move, state] : steps) {
    ASSERT_TRUE(Play(game, move)) << move;
    EXPECT_EQ(State(game), state) << move;
  }
}

// A history record as "<move> <en passant square> <castling rights>".
std::string Record(const TChessGame& game, int move, Side side) {
  const MoveInfo* r = game.HistoryRecord(move, side);
  return r ? NameOf(r->OldSq) + NameOf(r->NewSq) + " " + NameOf(r->EnPassantSq) + " " +
                 std::to_string(r->Castling.Bits())
           : "absent";
}

TEST(MakeMove, EachMoveWritesItsTurnAndTheNextARefusedOneNothing) {
  TChessGame game;
  ASSERT_TRUE(Play(game, "e2e4"));
  EXPECT_EQ(Record(game, 1, Side::White), "e2e4 -- 15");
  EXPECT_EQ(Record(game, 1, Side::Black), "---- e3 15");
  EXPECT_EQ(game.HistoryRecord(1, Side::White)->PositionStr, StartPosition);
  EXPECT_EQ(game.HistoryRecord(1, Side::Black)->PositionStr, game.Position());

  ASSERT_TRUE(Play(game, "e7e5"));
  const std::string before = game.Position();
  EventLog log(game);
  for (const char* m : {"e4e5", "e1e3", "d1d3", "a2a5", "e8e7", "b1d2"}) EXPECT_FALSE(Play(game, m)) << m;
  EXPECT_EQ(log.Take(), "");
  EXPECT_EQ(game.Position(), before);
  EXPECT_EQ(State(game), "white 2 e6 15");
  EXPECT_EQ(Record(game, 2, Side::White), "---- e6 15");
  EXPECT_EQ(game.HistoryRecord(2, Side::White)->PositionStr, before);
  // Records not yet written read as absent.
  EXPECT_EQ(Record(game, 2, Side::Black), "absent");
  EXPECT_EQ(Record(game, 0, Side::White), "absent");

  ASSERT_TRUE(Play(game, "e1e2"));
  EXPECT_EQ(Record(game, 2, Side::White), "e1e2 e6 15");
  EXPECT_EQ(Record(game, 2, Side::Black), "---- -- 12");
}

TEST(MakeMove, PromotionLetters) {
  TChessGame game;
  game.setPosition(Board("Ka1 kh7 Pb7 rc8 pg2"));
  Recorder log;
  char choice = 'n';
  game.OnCapture = [&](TChessGame*, Square, Square, char) { log.Add("Capture"); };
  game.OnPromotion = [&](TChessGame* sender, Square a, Square b, char& piece) {
    EXPECT_EQ(sender, &game);
    log.Add("Promotion " + NameOf(a) + NameOf(b) + " " + piece);
    piece = choice;
  };
  // The letter chosen stays for later promotions; the case comes from the rank.
  ASSERT_TRUE(Play(game, "b7c8 g2g1"));
  EXPECT_EQ(log.Take(), "Capture|Promotion b7c8 q|Promotion g2g1 n");
  EXPECT_EQ(game.Position(), Board("Ka1 kh7 Nc8 ng1"));
  // A letter a pawn cannot become keeps the offered one; any case will do.
  for (const char refused : {'!', 'k', 'K', 'p'}) {
    SCOPED_TRACE(refused);
    game.setPosition(Board("Ka1 kh7 Pb7 pg2"));
    game.setWhiteToMove(true);
    choice = refused;
    ASSERT_TRUE(Play(game, "b7b8"));
    EXPECT_EQ(game.PromotionPiece(), 'n');
    EXPECT_EQ(game.Position(), Board("Ka1 kh7 Nb8 pg2"));
  }
  choice = 'R';
  ASSERT_TRUE(Play(game, "g2g1"));
  EXPECT_EQ(game.Position(), Board("Ka1 kh7 Nb8 rg1"));
  // Without a handler the last choice holds.
  game.OnPromotion = nullptr;
  game.setPosition(Board("Ka1 kh7 Pb7 Pd4"));
  game.setWhiteToMove(true);
  ASSERT_TRUE(Play(game, "b7b8"));
  game.PromotePawn(Square::D4);  // nothing off the last ranks
  EXPECT_EQ(game.Position(), Board("Ka1 kh7 Rb8 Pd4"));
}

TEST(MakeMove, MatingMaterial) {
  // A side needs a pawn, rook, queen or minor pieces worth a rook to mate.
  struct Case {
    const char* board;
    const char* capturer;  // takes the rook on g7
    bool drawn;
  };
  const Case cases[] = {
      {"kc8 rg7 Kh8", "h8", true},
      {"Ke1 kc8 rg7 Ne6 Na2", "e6", true},
      {"Ke1 kc8 rg7 Ne6 na6", "e6", true},
      {"Ke1 kc8 rg7 Bb2 ba6", "b2", true},
      {"Ke1 kc8 rg7 Bb2 Na2", "b2", false},
      {"Ke1 kc8 rg7 Bb2 Ba2", "b2", false},
      {"Ke1 kc8 rg7 Ne6 Na2 Nb3", "e6", false},
      {"Ke1 kc8 rg7 Ne6 Pa2", "e6", false},
      {"kc8 rg7 Kh8 ba6 na5", "h8", false},
      {"kc8 rg7 Kh8 qa6", "h8", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.board);
    TChessGame game;
    game.setPosition(Board(c.board));
    game.OnDraw = [](TChessGame*) {};
    ASSERT_TRUE(game.MakeMove(Sq(c.capturer), Square::G7));
    EXPECT_EQ(game.GameOver(), c.drawn);
    EXPECT_TRUE(Play(game, "c8d7"));  // play goes on after such a draw
  }
}

TEST(MakeMove, ThreeTimesTheSameBoardEndsTheGame) {
  // Once the knights are back the third time, no move is legal any more.
  TChessGame game;
  ASSERT_TRUE(Play(game, "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8"));
  EXPECT_FALSE(game.HasLegalMove());
  for (int f = 1; f <= 64; ++f)
    for (int t = 1; t <= 64; ++t) ASSERT_FALSE(game.IsLegalMove(SquareFromIndex(f), SquareFromIndex(t)));
  // Turns of both sides count: the board of White's turn 1 stands again at
  // Black's turns 3 and 5 after the kings walk round a triangle.
  TChessGame sides;
  sides.setPosition(Board("Ke1 ke8 Ra1"));
  ASSERT_TRUE(Play(sides, "e1d1 e8d8 d1d2 d8e8 d2e1 e8d8 a1b1 d8e8"));
  EXPECT_FALSE(sides.IsThreefold());
  ASSERT_TRUE(Play(sides, "b1a1"));
  EXPECT_EQ(State(sides).substr(0, 7), "black 5");
  EXPECT_TRUE(sides.IsThreefold());
}

TEST(MakeMove, LongGamesKeepTheirHistory) {
  TChessGame game;
  for (int turn = 0; turn < 700; ++turn) {
    // Black pawns spell out the turn number, so that no board repeats.
    std::string text = Board("Ke1 ke8");
    for (int bit = 0; bit < 16; ++bit)
      if (turn & (1 << bit)) text[24 + bit] = 'p';
    game.setPosition(text);
    ASSERT_TRUE(Play(game, game.WhiteToMove() ? "e1e2" : "e8e7")) << turn;
  }
  EXPECT_EQ(game.CurrentMove(), 351);
  EXPECT_EQ(Record(game, 300, Side::Black), "e8e7 -- 0");
  // The repetition test still works far beyond move 256.
  game.setPosition(Board("Ke1 ke8 Ra1"));
  ASSERT_TRUE(Play(game, "e1d1 e8d8 d1e1 d8e8 e1d1 e8d8 d1e1"));
  EXPECT_FALSE(game.IsThreefold());
  ASSERT_TRUE(Play(game, "d8e8"));
  EXPECT_TRUE(game.IsThreefold());
}

TEST(MakeMove, HandlersThatRewriteTheGameMidMove) {
  // Whatever a handler writes, the routine finishes on the changed state.
  const std::function<void(TChessGame&)> rewrites[] = {
      [](TChessGame& g) { g.setPosition(""); },
      [](TChessGame& g) { g.setPosition(std::string(80, 'P')); },
      [](TChessGame& g) { g.setPosition("init"); },
      [](TChessGame& g) { g.setWhiteToMove(!g.WhiteToMove()); },
      [](TChessGame& g) { g.MakeMove(Square::E7, Square::E5); },  // re-entrant
  };
  for (const auto& rewrite : rewrites) {
    for (int at = 0; at < 4; ++at) {
      SCOPED_TRACE(at);
      TChessGame game;
      bool done = false;
      const auto once = [&] {
        if (!std::exchange(done, true)) rewrite(game);
      };
      if (at == 0) game.OnLegalMove = [&](TChessGame*, Square, Square) { once(); };
      if (at == 1) game.OnCapture = [&](TChessGame*, Square, Square, char) { once(); };
      if (at == 2) game.OnPromotion = [&](TChessGame*, Square, Square, char&) { once(); };
      if (at == 3) game.OnPaint = [&](TChessGame*) { once(); };
      game.setPosition(Board("Ke1 ke8 Pb7 ra8 pe7 Pd5"));
      EXPECT_TRUE(Play(game, "b7a8"));
      EXPECT_TRUE(done);
      EXPECT_EQ(game.Position().size(), 64u);
      game.HasLegalMove();
      game.IsThreefold();
    }
  }
}

// Records the calls into the view and the engine; the user has just dropped
// the piece from e7 on e5.
struct RecordingHooks : TChessGameHooks, Recorder {
  void StopThinking() override { Add("Stop"); }
  void StartThinking() override { Add("Start"); }
  void ReleaseEngineHold() override { Add("Release"); }
  void PaintSquare(Square sq) override { Add("Square " + NameOf(sq)); }
  void DrawPiece(Square sq) override { Add("Piece " + NameOf(sq)); }
  void PaintBoardLines() override { Add("Lines"); }
  bool AnimateMoves() const override { return animate; }
  void AnimateMove(Square a, Square b) override { Add("Animate " + NameOf(a) + NameOf(b)); }
  Square DragFromSquare() const override { return Square::E7; }
  Square DropSquare() const override { return Square::E5; }
  bool animate = true;
};

TEST(Hooks, RepaintsAndAnimationOfMoves) {
  RecordingHooks hooks;
  TChessGame game;
  game.setHooks(&hooks);
  // Every move but the one just dropped is animated when animation is on.
  ASSERT_TRUE(Play(game, "e2e4"));
  EXPECT_EQ(hooks.Take(), "Square e2|Lines|Animate e2e4|Square e4|Piece e4|Lines");
  ASSERT_TRUE(game.UserMove(Square::E7, Square::E5));
  EXPECT_EQ(hooks.Take(), "Stop|Square e7|Square e5|Piece e5|Lines|Release|Start");
  ASSERT_TRUE(Play(game, "g1f3 b8c6"));
  hooks.Take();
  ASSERT_TRUE(Play(game, "f3e5"));
  EXPECT_EQ(hooks.Take(), "Square f3|Lines|Animate f3e5|Square e5|Piece e5|Lines");
  hooks.animate = false;
  ASSERT_TRUE(Play(game, "c6e5"));
  EXPECT_EQ(hooks.Take(), "Square c6|Square e5|Piece e5|Lines");

  // Castling, en passant and promotion repaint their further squares.
  game.setPosition(Board("Ke1 Rh1 ke8 Pb7 Pe5 pd7"));
  game.setWhiteToMove(true);
  hooks.Take();
  ASSERT_TRUE(Play(game, "e1g1"));
  EXPECT_EQ(hooks.Take(), "Square e1|Square g1|Piece g1|Lines|Square h1|Piece f1|Lines");
  ASSERT_TRUE(Play(game, "d7d5"));
  hooks.Take();
  ASSERT_TRUE(Play(game, "e5d6"));
  EXPECT_EQ(hooks.Take(), "Square e5|Square d6|Piece d6|Lines|Square d5|Lines");
  game.setWhiteToMove(true);
  hooks.Take();
  ASSERT_TRUE(Play(game, "b7b8"));
  EXPECT_EQ(hooks.Take(), "Square b7|Square b8|Piece b8|Lines|Square b8|Piece b8|Lines");
}

TEST(Hooks, UserMoveReleasesTheEngineEvenWhenRefusedOrAHandlerThrows) {
  RecordingHooks hooks;
  TChessGame game;
  game.setHooks(&hooks);
  EXPECT_FALSE(game.UserMove(Square::E2, Square::E5));
  EXPECT_EQ(hooks.Take(), "Stop|Release|Start");
  game.OnLegalMove = [](TChessGame*, Square, Square) { throw std::runtime_error("handler"); };
  EXPECT_THROW(game.UserMove(Square::E2, Square::E4), std::runtime_error);
  EXPECT_TRUE(hooks.text.ends_with("|Release|Start")) << hooks.text;
}

}  // namespace
