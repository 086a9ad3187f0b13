// The chess game on the companion form: the board PlayChess makes, the
// character's comments on the board's events, and the "New" and "Exit"
// buttons, against the recording character service. Moves are made on the
// board directly, with the engine switched off unless a test wants it.

#include "GameFixture.h"

#include "chess/board/TChessBrd.h"

#include <QElapsedTimer>
#include <QPushButton>

namespace {

using Codes = std::vector<std::uint64_t>;

class ChessGame : public GameFixture {
 protected:
  // A game opened with the computer off; the calls of the opening cleared.
  TChessBrd& OpenQuietGame() {
    actor_->PlayChess();
    TChessBrd& board = *actor_->ChessBrd1;
    board.setComputerPlaysBlack(false);
    Script();
    return board;
  }
  static void Play(TChessBrd& board, std::initializer_list<std::pair<Square, Square>> moves) {
    for (const auto& [from, to] : moves) ASSERT_TRUE(board.MakeMove(from, to));
  }
  static bool Contains(const QStringList& script, const QString& call) { return script.contains(call); }
  TBoxCloser boxes_;
};

TEST_F(ChessGame, PlayChessPutsAWoodBoardOnTheFormBesideTheBird) {
  actor_->PlayChess();
  ASSERT_NE(actor_->ChessBrd1, nullptr);
  TChessBrd& board = *actor_->ChessBrd1;
  EXPECT_EQ(actor_->pos(), QPoint(400, 117));
  EXPECT_EQ(board.parentWidget(), actor_.get());
  EXPECT_EQ(board.geometry(), QRect(0, 0, 368, 368));
  EXPECT_TRUE(board.isVisibleTo(actor_.get()));
  EXPECT_EQ(board.ThinkingPriority(), TThreadPriority::tpIdle);
  EXPECT_TRUE(board.ComputerPlaysBlack());
  EXPECT_FALSE(board.ComputerPlaysWhite());
  EXPECT_EQ(board.SquareDark(), actor_->Image1Bitmap());
  EXPECT_EQ(board.SquareLight(), actor_->Image2Bitmap());
  // Only the five handlers; everything else keeps its default.
  EXPECT_TRUE(board.OnCapture && board.OnDraw && board.OnLegalMove && board.OnCastle && board.OnMate);
  EXPECT_FALSE(board.OnCheck || board.OnPromotion || board.OnStaleMate || board.OnNoMatingMaterial ||
               board.OnThreefoldPosition || board.OnPaint || board.OnIllegalMove || board.OnCalculateMove ||
               board.OnClick);
  EXPECT_EQ(board.SearchDepth(), 1);
  EXPECT_EQ(board.Position(), std::string("rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR"));
  // The buttons stay above the board's bottom edge.
  EXPECT_EQ(actor_->childAt(actor_->Button1->geometry().center()), actor_->Button1);
  EXPECT_EQ(actor_->childAt(actor_->Button2->geometry().center()), actor_->Button2);
  EXPECT_EQ(actor_->childAt(100, 100), &board);
  EXPECT_EQ(Script(), (QStringList{"MoveTo 500 67 1", "LanguageID 2052", "Speak 你先~~ [2052]", "wait 1"}));
}

TEST_F(ChessGame, CapturesPleaseTheBirdWhenItTakesAndSaddenItWhenTheUserDoes) {
  TChessBrd& board = OpenQuietGame();
  Play(board, {{Square::E2, Square::E4}, {Square::D7, Square::D5}});
  EXPECT_EQ(Script(), QStringList{});
  Play(board, {{Square::E4, Square::D5}});  // White takes on move 2
  EXPECT_EQ(Script(), QStringList{"Play sad"});
  EXPECT_EQ(actor_->CurMoveNo, actor_->PrevMoveNo);
  Play(board, {{Square::D8, Square::D5}});  // Black takes back
  EXPECT_EQ(Script(), QStringList{"Play pleased"});
  EXPECT_EQ(actor_->CurMoveNo, 3);
  EXPECT_EQ(actor_->PrevMoveNo, 2);
}

TEST_F(ChessGame, TheBirdThinksWhenTheMoveNumberReachesEight) {
  TChessBrd& board = OpenQuietGame();
  Play(board, {{Square::G1, Square::F3}, {Square::G8, Square::F6}, {Square::B1, Square::C3},
               {Square::B8, Square::C6}, {Square::E2, Square::E3}, {Square::E7, Square::E6},
               {Square::D2, Square::D3}, {Square::D7, Square::D6}, {Square::A2, Square::A3},
               {Square::A7, Square::A6}, {Square::B2, Square::B3}, {Square::B7, Square::B6},
               {Square::H2, Square::H3}});
  EXPECT_EQ(Script(), QStringList{});
  Play(board, {{Square::H7, Square::H6}});  // Black's move raises the number to 8
  EXPECT_EQ(Script(), (QStringList{"Play thinking", "wait 2", "StopAll play"}));
  Play(board, {{Square::G2, Square::G3}});  // and White's next move still sees 8
  EXPECT_EQ(Script(), (QStringList{"Play thinking", "wait 2", "StopAll play"}));
  Play(board, {{Square::G7, Square::G6}});
  EXPECT_EQ(Script(), QStringList{});
}

TEST_F(ChessGame, TheComputersMateIsCelebratedAndTheUserToldTheyLost) {
  TChessBrd& board = OpenQuietGame();
  Play(board, {{Square::F2, Square::F3}, {Square::E7, Square::E5}, {Square::G2, Square::G4},
               {Square::D8, Square::H4}});
  EXPECT_EQ(Script(), (QStringList{"LanguageID 2052", "Speak 我赢了，承让承让 [2052]", "wait 1", "Play Pleased"}));
  EXPECT_EQ(boxes_.texts, QStringList{"你输了!"});
  EXPECT_TRUE(actor_->Button1->isEnabled());
}

TEST_F(ChessGame, TheUsersMateSaddensTheBirdAndTheUserIsToldTheyWon) {
  TChessBrd& board = OpenQuietGame();
  Play(board, {{Square::E2, Square::E4}, {Square::E7, Square::E5}, {Square::F1, Square::C4},
               {Square::B8, Square::C6}, {Square::D1, Square::H5}, {Square::G8, Square::F6},
               {Square::H5, Square::F7}});
  EXPECT_EQ(Script(), (QStringList{"Play sad", "Play sad", "LanguageID 2052", "Speak 你赢了，厉害厉害。 [2052]",
                                   "wait 1"}));
  EXPECT_EQ(boxes_.texts, QStringList{"你赢了!"});
  EXPECT_TRUE(actor_->Button1->isEnabled());
}

TEST_F(ChessGame, CastlingAndDrawsAreCommented) {
  TChessBrd& board = OpenQuietGame();
  Play(board, {{Square::E2, Square::E4}, {Square::E7, Square::E5}, {Square::G1, Square::F3},
               {Square::B8, Square::C6}, {Square::F1, Square::C4}, {Square::F8, Square::C5}});
  Script();
  Play(board, {{Square::E1, Square::G1}});
  EXPECT_EQ(Script(), (QStringList{"LanguageID 2052", "Speak 车王易位！ [2052]", "wait 1"}));

  // The same position three times: a draw, whatever the model calls it.
  EXPECT_FALSE(actor_->Button1->isEnabled());
  for (int round = 0; round < 2; ++round)
    Play(board, {{Square::G8, Square::F6}, {Square::F1, Square::E1}, {Square::F6, Square::G8},
                 {Square::E1, Square::F1}});
  EXPECT_TRUE(Contains(Script(), "Speak 和棋了。根据规则，连续重复三次就算和棋。 [2052]"));
  EXPECT_TRUE(actor_->Button1->isEnabled());
}

TEST_F(ChessGame, NewOpensAFreshBoardOverTheOldOneAndDisablesItself) {
  TChessBrd& first = OpenQuietGame();
  Play(first, {{Square::F2, Square::F3}, {Square::E7, Square::E5}, {Square::G2, Square::G4},
               {Square::D8, Square::H4}});
  ASSERT_TRUE(actor_->Button1->isEnabled());
  QPointer<TChessBrd> old = &first;
  actor_->Button1->click();
  EXPECT_FALSE(actor_->Button1->isEnabled());
  ASSERT_NE(actor_->ChessBrd1, nullptr);
  EXPECT_NE(actor_->ChessBrd1, old.data());
  ASSERT_NE(old, nullptr) << "the old board stays on the form";
  EXPECT_EQ(actor_->childAt(100, 100), actor_->ChessBrd1);

  // The move numbers run on from the last game; the first move of the new
  // one is White's and compares 1 with the 3 of the mate.
  EXPECT_EQ(actor_->CurMoveNo, 3);
  ASSERT_TRUE(actor_->ChessBrd1->UserMove(Square::E2, Square::E4));
  EXPECT_EQ(actor_->PrevMoveNo, 3);
  EXPECT_EQ(actor_->CurMoveNo, 1);
}

TEST_F(ChessGame, ABoardOfAnEarlierGameIsReadAsItselfWhenItStillMoves) {
  TChessBrd& first = OpenQuietGame();
  Play(first, {{Square::E2, Square::E4}, {Square::E7, Square::E5}, {Square::G1, Square::F3}});
  actor_->PlayChess();  // a second game over the first
  actor_->ChessBrd1->setComputerPlaysBlack(false);
  Script();
  Play(first, {{Square::B8, Square::C6}});
  EXPECT_EQ(actor_->CurMoveNo, 3) << "the number of the board that moved, not of the newest one";
  EXPECT_EQ(actor_->ChessBrd1->CurrentMove(), 1);
}

TEST_F(ChessGame, ExitWithoutABoardStillHidesTheFormAndReportsTwice) {
  Draws({9});
  actor_->Button2->click();
  EXPECT_EQ(actor_->pos(), QPoint(-400, 117));
  EXPECT_EQ(Notices(), (Codes{20, 20}));
}

TEST_F(ChessGame, ExitDestroysTheBoardRunsTheRandomActivityAndReportsTwice) {
  OpenQuietGame();
  QPointer<TChessBrd> board = actor_->ChessBrd1;
  Draws({6});
  actor_->Button2->click();
  EXPECT_EQ(board, nullptr);
  EXPECT_EQ(actor_->ChessBrd1, nullptr);
  EXPECT_LT(actor_->geometry().right(), 0) << "out of sight left of the screen";
  EXPECT_EQ(Script(), (QStringList{"StopAll play", "Show 0", "Show 0", "Play Idle2_1", "wait 20", "StopAll play"}));
  EXPECT_EQ(Notices(), (Codes{20, 20}));
}

TEST_F(ChessGame, ExitDuringTheMateCommentTakesTheBoardAwayOnlyOnceItsMoveIsDone) {
  TChessBrd& board = OpenQuietGame();
  QPointer<TChessBrd> guard = &board;
  Draws({9});
  bool boardAliveInsideTheHandler = false;
  TRecordingAgent::onSpeak = [&](const QString& text) {
    if (text != QStringLiteral("我赢了，承让承让")) return;
    actor_->Button2->click();  // the user clicks "Exit" while the bird speaks
    boardAliveInsideTheHandler = !guard.isNull() && guard->isHidden();
  };
  Play(board, {{Square::F2, Square::F3}, {Square::E7, Square::E5}, {Square::G2, Square::G4},
               {Square::D8, Square::H4}});
  EXPECT_TRUE(boardAliveInsideTheHandler) << "hidden, but not destroyed under its own move";
  EXPECT_EQ(boxes_.texts, QStringList{"你输了!"}) << "the mate comment carries on";
  EXPECT_TRUE(actor_->Button1->isEnabled());
  EXPECT_EQ(actor_->ChessBrd1, nullptr);
  QCoreApplication::processEvents();
  EXPECT_EQ(guard, nullptr) << "destroyed once its move returned";
  EXPECT_EQ(Notices(), (Codes{20, 20}));
}

TEST_F(ChessGame, TheEngineAnswersTheUsersMoveAndTheBirdSeesItsNumber) {
  actor_->PlayChess();
  TChessBrd& board = *actor_->ChessBrd1;
  QElapsedTimer clock;
  clock.start();
  while (!board.FirstPaintDone() && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  ASSERT_TRUE(board.FirstPaintDone());
  ASSERT_TRUE(board.UserMove(Square::E2, Square::E4));
  EXPECT_EQ(actor_->CurMoveNo, 1);
  while (!board.WhiteToMove() && clock.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(board.WhiteToMove()) << "the computer made its move";
  EXPECT_EQ(actor_->CurMoveNo, 2);
  EXPECT_EQ(actor_->PrevMoveNo, 1);
}

}  // namespace
