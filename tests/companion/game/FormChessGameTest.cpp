// The chess game on the companion form: the board PlayChess makes, the
// character's comments on the board's events, and the "New" and "Exit"
// buttons, against the recording character service. Moves are made on the
// board directly, with the engine switched off unless a test wants it.

#include "tests/companion/ActorFixture.h"

#include "chess/board/TChessBrd.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>

using namespace perch;

namespace {

const char* const FoolsMate = "f2f3 e7e5 g2g4 d8h4";

class ChessGame : public ActorFixture {
 protected:
  void SetUp() override {
    ActorFixture::SetUp();
    CreateWithCompletedFirstRun();
  }
  // A game opened with the computer off; the calls of the opening cleared.
  TChessBrd& OpenQuietGame() {
    actor_.PlayChess();
    actor_.ChessBrd1->setComputerPlaysBlack(false);
    Script();
    return *actor_.ChessBrd1;
  }
  // Moves in coordinates: "e2e4 e7e5".
  static void Play(TChessBrd& board, const std::string& moves) {
    auto square = [&](std::size_t at) { return SquareOf(moves[at] - 'a' + 1, moves[at + 1] - '0'); };
    for (std::size_t at = 0; at + 4 <= moves.size(); at += 5)
      ASSERT_TRUE(board.MakeMove(square(at), square(at + 2))) << moves.substr(at, 4);
  }
};

TEST_F(ChessGame, CapturesPleaseTheBirdWhenItTakesAndSaddenItWhenTheUserDoes) {
  TChessBrd& board = OpenQuietGame();
  Play(board, "e2e4 d7d5");
  EXPECT_EQ(Script(), QStringList{});
  Play(board, "e4d5");  // White takes on move 2
  EXPECT_EQ(Script(), QStringList{"Play sad"});
  Play(board, "d8d5");  // Black takes back
  EXPECT_EQ(Script(), QStringList{"Play pleased"});
  EXPECT_EQ(actor_.CurMoveNo, 3);
  EXPECT_EQ(actor_.PrevMoveNo, 2);
}

TEST_F(ChessGame, TheBirdThinksWhenTheMoveNumberReachesEight) {
  TChessBrd& board = OpenQuietGame();
  Play(board, "g1f3 g8f6 b1c3 b8c6 e2e3 e7e6 d2d3 d7d6 a2a3 a7a6 b2b3 b7b6 h2h3");
  EXPECT_EQ(Script(), QStringList{});
  const QStringList thinking{"Play thinking", "wait 2", "StopAll play"};
  Play(board, "h7h6");  // Black's move raises the number to 8
  EXPECT_EQ(Script(), thinking);
  Play(board, "g2g3");  // and White's next move still sees 8
  EXPECT_EQ(Script(), thinking);
  Play(board, "g7g6");
  EXPECT_EQ(Script(), QStringList{});
}

TEST_F(ChessGame, AMateIsCommentedForTheWinnerAndTheUserToldTheResult) {
  struct {
    const char* moves;
    QStringList script;
    QString box;
  } const cases[] = {
      {FoolsMate, {"LanguageID 2052", "Speak 我赢了，承让承让 [2052]", "wait 1", "Play Pleased"}, "你输了!"},
      {"e2e4 e7e5 f1c4 b8c6 d1h5 g8f6 h5f7",
       {"Play sad", "Play sad", "LanguageID 2052", "Speak 你赢了，厉害厉害。 [2052]", "wait 1"},
       "你赢了!"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.moves);
    boxes_.clear();
    actor_.Button1->setEnabled(false);
    Play(OpenQuietGame(), c.moves);
    EXPECT_EQ(Script(), c.script);
    EXPECT_EQ(boxes_, QStringList{c.box});
    EXPECT_TRUE(actor_.Button1->isEnabled());
  }
}

TEST_F(ChessGame, CastlingAndDrawsAreCommented) {
  TChessBrd& board = OpenQuietGame();
  Play(board, "e2e4 e7e5 g1f3 b8c6 f1c4 f8c5");
  Script();
  Play(board, "e1g1");
  EXPECT_EQ(Script(), (QStringList{"LanguageID 2052", "Speak 车王易位！ [2052]", "wait 1"}));
  // The same position three times: a draw, whatever the model calls it.
  EXPECT_FALSE(actor_.Button1->isEnabled());
  Play(board, "g8f6 f1e1 f6g8 e1f1 g8f6 f1e1 f6g8 e1f1");
  EXPECT_TRUE(Script().contains("Speak 和棋了。根据规则，连续重复三次就算和棋。 [2052]"));
  EXPECT_TRUE(actor_.Button1->isEnabled());
}

TEST_F(ChessGame, NewOpensAFreshBoardOverTheOldOneWhoseMovesAreStillReadAsItsOwn) {
  QPointer<TChessBrd> first = &OpenQuietGame();
  Play(*first, "e2e4 e7e5 g1f3");
  actor_.Button1->setEnabled(true);  // as after a mate or draw
  actor_.Button1->click();
  EXPECT_FALSE(actor_.Button1->isEnabled());
  ASSERT_NE(actor_.ChessBrd1, first);
  EXPECT_EQ(actor_.childAt(100, 100), actor_.ChessBrd1);
  actor_.ChessBrd1->setComputerPlaysBlack(false);
  ASSERT_NE(first, nullptr) << "the old board stays on the form";
  Play(*first, "b8c6");  // and may still move
  EXPECT_EQ(actor_.CurMoveNo, 3) << "the number of the board that moved, not of the newest one";
  // The move numbers run on across games: the new game's first move is
  // White's and compares 1 with the 3 before it.
  ASSERT_TRUE(actor_.ChessBrd1->UserMove(Square::E2, Square::E4));
  EXPECT_EQ(actor_.PrevMoveNo, 3);
  EXPECT_EQ(actor_.CurMoveNo, 1);
}

TEST_F(ChessGame, ExitDestroysTheBoardHidesTheFormRunsTheRandomActivityAndReportsTwice) {
  draws_ = {9};
  actor_.Button2->click();  // also without a board
  EXPECT_EQ(Notices(), (Codes{20, 20}));
  OpenQuietGame();
  QPointer<TChessBrd> board = actor_.ChessBrd1;
  draws_ = {6};
  actor_.Button2->click();
  EXPECT_EQ(board, nullptr);
  EXPECT_EQ(actor_.ChessBrd1, nullptr);
  EXPECT_LT(actor_.geometry().right(), 0) << "out of sight left of the screen";
  EXPECT_FALSE(actor_.isVisible()) << "out of sight is not shown";
  EXPECT_EQ(Script(), (QStringList{"KeepClear 0 0 0 0", "StopAll play", "Show 0", "draw 0-9: 6", "Show 0",
                                   "Play Idle2_1", "wait 20", "StopAll play"}));
  EXPECT_EQ(Notices(), (Codes{20, 20}));
}

TEST_F(ChessGame, ExitDuringTheMateCommentTakesTheBoardAwayOnlyOnceItsMoveIsDone) {
  TChessBrd& board = OpenQuietGame();
  QPointer<TChessBrd> guard = &board;
  draws_ = {9};
  bool boardAliveInsideTheHandler = false;
  TRecordingAgent::onSpeak = [&](const QString& text) {
    if (text != QStringLiteral("我赢了，承让承让")) return;
    actor_.Button2->click();  // the user clicks "Exit" while the bird speaks
    boardAliveInsideTheHandler = !guard.isNull() && guard->isHidden();
  };
  Play(board, FoolsMate);
  EXPECT_TRUE(boardAliveInsideTheHandler) << "hidden, but not destroyed under its own move";
  EXPECT_EQ(boxes_, QStringList{"你输了!"}) << "the mate comment carries on";
  EXPECT_TRUE(actor_.Button1->isEnabled());
  EXPECT_EQ(actor_.ChessBrd1, nullptr);
  QCoreApplication::processEvents();
  EXPECT_EQ(guard, nullptr) << "destroyed once its move returned";
  EXPECT_EQ(Notices(), (Codes{20, 20}));
}

TEST_F(ChessGame, PlayChessPutsAWoodBoardUnderTheButtonsAndTheEngineAnswersTheUser) {
  actor_.PlayChess();
  ASSERT_NE(actor_.ChessBrd1, nullptr);
  TChessBrd& board = *actor_.ChessBrd1;
  EXPECT_EQ(actor_.pos(), QPoint(400, 117));
  EXPECT_EQ(board.geometry(), QRect(0, 0, 368, 368));
  EXPECT_EQ(board.ThinkingPriority(), TThreadPriority::tpIdle);
  EXPECT_FALSE(board.ComputerPlaysWhite());
  EXPECT_EQ(board.SquareDark(), actor_.Image1Bitmap());
  EXPECT_EQ(board.SquareLight(), actor_.Image2Bitmap());
  EXPECT_EQ(actor_.childAt(actor_.Button1->geometry().center()), actor_.Button1);
  EXPECT_EQ(actor_.childAt(actor_.Button2->geometry().center()), actor_.Button2);
  QElapsedTimer clock;
  clock.start();
  while (!board.FirstPaintDone() && clock.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  ASSERT_TRUE(board.FirstPaintDone());
  ASSERT_TRUE(board.UserMove(Square::E2, Square::E4));
  EXPECT_EQ(actor_.CurMoveNo, 1);
  while (!board.WhiteToMove() && clock.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(board.WhiteToMove()) << "the computer made its move";
  EXPECT_EQ(actor_.CurMoveNo, 2);
  EXPECT_EQ(actor_.PrevMoveNo, 1);
}

}  // namespace

namespace {

// The form is a window of its own only during a game; its close box is
// "Exit", and the bird stands beside it with the balloon kept off it.
TEST_F(ChessGame, TheFormIsShownOnlyDuringAGameAndItsCloseBoxDoesWhatExitDoes) {
  EXPECT_FALSE(actor_.isVisible()) << "out of sight at start";
  actor_.close();
  QCoreApplication::processEvents();
  EXPECT_EQ(Notices(), Codes{}) << "out of sight, closing it does nothing";
  OpenQuietGame();
  EXPECT_TRUE(actor_.isVisible());
  EXPECT_EQ(actor_.windowTitle(), QStringLiteral("Perch — Chess"));
  draws_ = {6};
  actor_.close();  // the close box
  QElapsedTimer waited;
  waited.start();
  while (actor_.ChessBrd1 != nullptr && waited.elapsed() < 10000) QCoreApplication::processEvents();
  EXPECT_EQ(actor_.ChessBrd1, nullptr) << "the game ended";
  EXPECT_FALSE(actor_.isVisible());
  EXPECT_EQ(Notices(), (Codes{20, 20})) << "as Exit: the random activity's notice and its own";
}

TEST_F(ChessGame, TheBirdFollowsTheMovedGameWindowAtOnce) {
  OpenQuietGame();
  actor_.move(20, 300);  // by the user
  QElapsedTimer waited;
  waited.start();
  QStringList calls;
  while (calls.isEmpty() && waited.elapsed() < 5000) {
    QCoreApplication::processEvents();
    calls = Script();
  }
  const QRect frame = actor_.frameGeometry();
  const int left = frame.right() + 1 + 8;  // right of the frame, now that there is room
  EXPECT_EQ(calls, (QStringList{QStringLiteral("KeepClear %1 %2 %3 %4")
                                    .arg(frame.x())
                                    .arg(frame.y())
                                    .arg(frame.width())
                                    .arg(frame.height()),
                                "StopAll move", QStringLiteral("Left %1").arg(left), "Top 250"}));
}

}  // namespace
