// The game window around the board: the options read from config.ini, the
// status line, the bird's new lines, take back, resign, the hint and the
// game's PGN, against the recording character service.

#include "tests/companion/ActorFixture.h"

#include "chess/board/TChessBrd.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>

using namespace perch;

namespace {

class GameWindow : public ActorFixture {
 protected:
  void SetUp() override { ActorFixture::SetUp(); }
  void Open(const std::vector<std::pair<const char*, int>>& chess = {}) {
    TSettingsFile settings(program_.filePath("config.ini"));
    settings.WriteString("parameter", "username", "Ann");
    settings.WriteString("parameter", "halname", "Pip");
    for (const auto& [key, value] : chess) settings.WriteInteger("chess", key, value);
    CreateWithCompletedFirstRun();
    actor_.PlayChess();
  }
  TChessBrd& Board() { return *actor_.ChessBrd1; }
  static void Play(TChessBrd& board, const std::string& moves) {
    auto square = [&](std::size_t at) { return SquareOf(moves[at] - 'a' + 1, moves[at + 1] - '0'); };
    for (std::size_t at = 0; at + 4 <= moves.size(); at += 5)
      ASSERT_TRUE(board.UserMove(square(at), square(at + 2))) << moves.substr(at, 4);
  }
  // Runs the event loop until the condition holds (at most 20 s).
  template <class Condition>
  static bool Until(Condition condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 20000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
  }
  QString Status() {
    QCoreApplication::processEvents();
    return actor_.GameStatus->text();
  }
};

TEST_F(GameWindow, OptionsFromTheSettingsShapeTheNewGameAndTheMenusShowThem) {
  Open({{"depth", 3}, {"playAsBlack", 1}, {"showLastMove", 1}, {"clickMoves", 1}, {"coordinates", 1}});
  TChessBrd& board = Board();
  EXPECT_EQ(board.SearchDepth(), 3);
  EXPECT_TRUE(board.ComputerPlaysWhite());
  EXPECT_FALSE(board.ComputerPlaysBlack());
  EXPECT_TRUE(board.ShowLastMove());
  EXPECT_TRUE(board.ClickMoves());
  EXPECT_FALSE(board.WhiteOnTop());
  EXPECT_TRUE(actor_.GameMenus->Item("depth3")->isChecked());
  EXPECT_TRUE(Script().contains("Speak 这次我先走~~ [2052]")) << "the bird goes first";
  // The menu bar over the top border, the squares and buttons where they were.
  EXPECT_EQ(board.geometry(), QRect(0, 0, 368, 368));
  EXPECT_LE(actor_.GameMenus->geometry().bottom(), board.BoardTop());
  EXPECT_EQ(actor_.size(), QSize(369, 369));
  EXPECT_EQ(actor_.childAt(actor_.Button1->geometry().center()), actor_.Button1);
  // The bird opens as White.
  ASSERT_TRUE(Until([&] { return !board.WhiteToMove(); }));
  EXPECT_EQ(Status(), "Black to move.");
  EXPECT_NE(board.LastMove().first, Square::None);
  // An option changed in the menu is kept and shows at once.
  actor_.GameMenus->Item("flipBoard")->trigger();
  EXPECT_TRUE(board.WhiteOnTop());
  EXPECT_EQ(TSettingsFile(program_.filePath("config.ini")).ReadInteger("chess", "flipBoard", 0), 1);
}

TEST_F(GameWindow, TheStatusLineTellsWhoseMoveItIsChecksAndTheResultWithItsReason) {
  Open();
  TChessBrd& board = Board();
  board.setComputerPlaysBlack(false);
  EXPECT_EQ(Status(), "White to move.");
  Play(board, "e2e4");
  EXPECT_EQ(Status(), "Black to move.");
  Play(board, "f7f6 d1h5");
  EXPECT_EQ(Status(), "Check! Black to move.");
  Play(board, "g7g6 h5g6 h7g6 f1d3");
  // The fool's mate, in a new game: the result says who won and why.
  actor_.Button1->setEnabled(true);
  actor_.Button1->click();
  actor_.ChessBrd1->setComputerPlaysBlack(false);
  Play(*actor_.ChessBrd1, "f2f3 e7e5 g2g4 d8h4");
  EXPECT_EQ(Status(), "Checkmate. Pip wins.");
  EXPECT_TRUE(actor_.GamePgnText().contains("[Result \"0-1\"]"));
  EXPECT_TRUE(actor_.GamePgnText().contains("[White \"Ann\"]"));
  EXPECT_TRUE(actor_.GamePgnText().contains("[Black \"Pip\"]"));
  EXPECT_TRUE(actor_.GamePgnText().contains("Qh4#"));
}

TEST_F(GameWindow, ChecksAndPromotionsGetALineUnlessAnOldCommentSpokeForTheMove) {
  Open();
  TChessBrd& board = Board();
  board.setComputerPlaysBlack(false);
  Script();
  Play(board, "e2e4 f7f6 d1h5");  // the user checks: White's move, the bird is Black
  QCoreApplication::processEvents();
  EXPECT_EQ(Script(),
            (QStringList{"Play confused", "LanguageID 1033", "Speak Oh! My king is in check. [1033]"}));
  Play(board, "g7g6 h5g6");  // a capture with check: the capture's comment only
  QCoreApplication::processEvents();
  EXPECT_EQ(Script(), QStringList{"Play sad"});
  Play(board, "h7g6 d2d4");  // the bird takes back: its capture's comment
  QCoreApplication::processEvents();
  EXPECT_EQ(Script(), QStringList{"Play pleased"});
  Play(board, "e7e6 a2a3");
  QCoreApplication::processEvents();
  Script();
  Play(board, "f8b4");  // the bird's bishop checks
  QCoreApplication::processEvents();
  EXPECT_EQ(Script(), (QStringList{"Play GetAttention", "Speak Check! [1033]"}));
}

TEST_F(GameWindow, TakeBackUndoesTheUsersMoveAndTheBirdsReplyAndResignEndsTheGame) {
  Open();
  TChessBrd& board = Board();
  const std::string start = board.Position();
  ASSERT_TRUE(Until([&] { return board.FirstPaintDone(); }));
  ASSERT_TRUE(board.UserMove(Square::E2, Square::E4));
  ASSERT_TRUE(Until([&] { return board.WhiteToMove(); })) << "the bird replied";
  Script();
  actor_.TakeBackAsked();
  EXPECT_EQ(board.Position(), start);
  EXPECT_TRUE(board.WhiteToMove());
  EXPECT_EQ(Status(), "White to move.");
  EXPECT_EQ(Script(), (QStringList{"Play GestureLeft", "LanguageID 1033",
                                   "Speak All right, let us try that again. [1033]"}));
  actor_.TakeBackAsked();  // nothing more to take back
  EXPECT_EQ(Script(), QStringList{});
  // While the bird's reply is still to come, only the user's move goes back.
  board.setComputerPlaysBlack(false);
  ASSERT_TRUE(board.UserMove(Square::D2, Square::D4));
  board.setComputerPlaysBlack(true);  // its search starts
  actor_.TakeBackAsked();
  EXPECT_EQ(board.Position(), start);
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(board.Position(), start) << "the stopped search made no move";
  Script();

  actor_.ResignAsked();
  EXPECT_EQ(Status(), "You resigned. Pip wins.");
  EXPECT_FALSE(board.isEnabled());
  EXPECT_FALSE(board.ComputerPlaysBlack());
  EXPECT_TRUE(actor_.Button1->isEnabled());
  EXPECT_TRUE(actor_.GamePgnText().contains("[Result \"0-1\"]"));
  EXPECT_EQ(Script(),
            (QStringList{"Play Wave", "Speak Thank you for the game! Shall we play again? [1033]"}));
  actor_.HintAsked();  // no hint after the end
  EXPECT_EQ(Status(), "You resigned. Pip wins.");
}

TEST_F(GameWindow, AHintMarksTheMoveAndTheBirdSaysItInWords) {
  Open();
  TChessBrd& board = Board();
  board.setComputerPlaysBlack(false);
  actor_.HintDepth = 2;
  // White mates in one: Qxf7.
  Play(board, "e2e4 e7e5 d1h5 b8c6 f1c4 g8f6");
  Script();
  actor_.HintAsked();
  ASSERT_TRUE(Until([&] { return board.HintSquares().first != Square::None; }));
  EXPECT_EQ(board.HintSquares(), std::pair(Square::H5, Square::F7));
  EXPECT_EQ(Script(),
            (QStringList{"Play GestureLeft", "LanguageID 1033", "Speak Try the queen to f7. [1033]"}));
  Play(board, "a2a3");
  EXPECT_EQ(board.HintSquares(), std::pair(Square::None, Square::None)) << "gone with the next move";
}

TEST_F(GameWindow, ADroppedPieceIsRemarkedOnceTheWatchHasSearchedBothPositions) {
  Open();
  TChessBrd& board = Board();
  actor_.HintDepth = 2;
  ASSERT_TRUE(Until([&] { return board.FirstPaintDone(); }));
  ASSERT_TRUE(board.UserMove(Square::E2, Square::E4));
  ASSERT_TRUE(Until([&] { return board.WhiteToMove(); }));
  ASSERT_EQ(board.PieceAt(Square::D5), 'p') << "the bird's answer at depth 1";
  // The window takes the reply in (its watch measures the position the user
  // now moves from) before the user's next move, as a person's click waits.
  for (QElapsedTimer taken; !taken.isValid() || taken.elapsed() < 200;) {
    if (!taken.isValid()) taken.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  Script();
  ASSERT_TRUE(board.UserMove(Square::D1, Square::G4));  // the queen left to the bishop
  QStringList said;
  ASSERT_TRUE(Until([&] {
    said << Script();
    return said.contains("Speak Oops! That piece was hanging. [1033]");
  })) << said.join(" | ").toStdString();
  // The watch's remark and the bird's move come from two threads, in either order.
  EXPECT_TRUE(Until([&] { return board.PieceAt(Square::G4) == 'b'; })) << "and the bird took it";
  EXPECT_EQ(said.count("Speak Oops! That piece was hanging. [1033]"), 1);
}

TEST_F(GameWindow, ANewGameDuringAGameIsAskedForFirst) {
  Open();
  QPointer<TChessBrd> first = actor_.ChessBrd1;
  first->setComputerPlaysBlack(false);
  actor_.NewGameAsked();  // nothing played yet: no question
  EXPECT_TRUE(boxes_.isEmpty());
  EXPECT_TRUE(first.isNull()) << "the old board is gone, not left under the new one";
  ASSERT_NE(actor_.ChessBrd1, nullptr);
  actor_.ChessBrd1->setComputerPlaysBlack(false);
  ASSERT_TRUE(actor_.ChessBrd1->UserMove(Square::E2, Square::E4));
  TChessBrd* second = actor_.ChessBrd1;
  actor_.NewGameAsked();  // declined: the game goes on
  EXPECT_EQ(boxes_, QStringList{"Give up this game and start a new one?"});
  EXPECT_EQ(actor_.ChessBrd1, second);
  EXPECT_EQ(second->PieceAt(Square::E4), 'P');
}

}  // namespace
