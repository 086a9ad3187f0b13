// The engine thread and its hand-off with the board: answers to the user's
// moves, parking, the custom engine, games the engine plays against itself,
// stop and start storms, and destruction in every state.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cctype>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "chess/board/BoardErrorBox.h"
#include "chess/board/TChessBrd.h"
#include "tests/board/BoardTestSupport.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Processes events until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds longest = 20s) {
  const auto end = Clock::now() + longest;
  while (!done()) {
    if (Clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// Processes events for the whole time.
void Pump(std::chrono::milliseconds time) {
  WaitUntil([] { return false; }, time);
}

struct MoveRecord {
  Square from, to;
  bool thinkingDuringEvent;
  bool whiteMoved;
};

class EngineTest : public ::testing::Test {
 protected:
  std::unique_ptr<TChessBrd> board = std::make_unique<TChessBrd>();
  std::vector<MoveRecord> moves;
  std::vector<QString> errors;

  void SetUp() override {
    board->setAnimateMoves(false);
    board->OnLegalMove = [this](TChessGame* sender, Square from, Square to) {
      auto* b = dynamic_cast<TChessBrd*>(sender);
      ASSERT_NE(b, nullptr);
      // The side to move has changed already: Black moved when White is to move.
      moves.push_back({from, to, b->Thinking(), !b->WhiteToMove()});
    };
    perch::SetBoardErrorReporter([this](const QString& m) { errors.push_back(m); });
  }
  void TearDown() override { perch::SetBoardErrorReporter({}); }
};

TEST_F(EngineTest, TheEngineAnswersTheUsersMoveThroughMakeMove) {
  board->setComputerPlaysBlack(true);
  board->Paint();
  EXPECT_FALSE(board->Thinking());
  Pump(200ms);
  EXPECT_TRUE(moves.empty()) << "White is to move: the engine waits";
  ASSERT_TRUE(board->UserMove(Square::E2, Square::E4));
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 2; }));
  EXPECT_FALSE(moves[1].whiteMoved);
  EXPECT_FALSE(moves[1].thinkingDuringEvent);
  EXPECT_TRUE(board->WhiteToMove());
  EXPECT_TRUE(std::islower(static_cast<unsigned char>(board->PieceAt(moves[1].to))));
  EXPECT_FALSE(board->Thinking());
  Pump(300ms);
  EXPECT_EQ(moves.size(), 2u) << "one answer per move";
  // And again for the next move.
  ASSERT_TRUE(board->UserMove(Square::D2, Square::D3) || board->UserMove(Square::D2, Square::D4) ||
              board->UserMove(Square::G1, Square::F3));
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 4; }));
}

TEST_F(EngineTest, AWriteOfThePositionParksTheEngineUntilTheNextStart) {
  board->setComputerPlaysBlack(true);
  board->Paint();
  board->setWhiteToMove(false);  // Black, the computer, to move; the write parks
  Pump(400ms);
  EXPECT_TRUE(moves.empty());
  EXPECT_TRUE(board->EngineHeld());
  board->setComputerPlaysBlack(true);  // stop, store, start
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 1; }));
  EXPECT_FALSE(moves[0].whiteMoved);
}

TEST_F(EngineTest, BeforeTheFirstPaintTheEngineStaysParked) {
  // Created parked; a write of ComputerPlaysBlack is the first start.
  board->setWhiteToMove(false);
  Pump(300ms);
  EXPECT_TRUE(moves.empty());
  board->setComputerPlaysBlack(true);
  EXPECT_TRUE(WaitUntil([&] { return moves.size() == 1; }));
}

TEST_F(EngineTest, DropsAreRefusedWhileTheEngineThinks) {
  board->setSearchDepth(8);
  board->setComputerPlaysWhite(true);
  std::vector<Square> illegal;
  board->OnIllegalMove = [&](TChessGame*, Square s) { illegal.push_back(s); };
  board->Paint();
  ASSERT_TRUE(WaitUntil([&] { return board->Thinking(); }, 5s));
  const int h = board->SizeOfSquare() / 2;
  const QPoint e2 = board->SquareOrigin(Square::E2) + QPoint(h, h);
  const QPoint e4 = board->SquareOrigin(Square::E4) + QPoint(h, h);
  boardtest::DragTo(*board, e2, e4);
  boardtest::DragTo(*board, e2, e2 + QPoint(6, 6));  // not even back on its own square
  if (board->Thinking()) {
    EXPECT_EQ(illegal, (std::vector<Square>{Square::E2, Square::E2}));
    EXPECT_EQ(board->PieceAt(Square::E2), 'P');
  }
  // Destroyed in the middle of a deep search: no hang, no move afterwards.
  board.reset();
}

TEST_F(EngineTest, TheCustomEngineIsAskedOnlyAfterTheFirstUserMove) {
  int asked = 0;
  std::vector<std::pair<Square, Square>> failed;
  board->setCustomEngine(true);
  board->setComputerPlaysBlack(true);
  bool answer = false;
  board->OnCalculateMove = [&](TChessGame*, Square& from, Square& to) {
    ++asked;
    EXPECT_EQ(from, Square::None);
    EXPECT_EQ(to, Square::None);
    if (answer) {
      from = Square::E7;
      to = Square::E5;
    }
  };
  board->OnCalculationFailed = [&](TChessGame*, Square f, Square t) { failed.push_back({f, t}); };
  board->Paint();
  board->setWhiteToMove(false);
  Pump(700ms);
  EXPECT_EQ(asked, 0) << "the engine is held until the user moves";
  board->setWhiteToMove(true);
  ASSERT_TRUE(board->UserMove(Square::D2, Square::D4));
  EXPECT_GE(asked, 1);
  ASSERT_FALSE(failed.empty());
  EXPECT_EQ(failed[0], std::make_pair(Square::None, Square::None));
  // Asked again at the next event or timer tick.
  const int before = asked;
  answer = true;
  ASSERT_TRUE(WaitUntil([&] { return asked > before && moves.size() == 2; }, 3s));
  EXPECT_EQ(board->PieceAt(Square::E5), 'p');
  EXPECT_FALSE(board->Thinking());
}

TEST_F(EngineTest, TheEnginePlaysBothSidesToTheEnd) {
  bool ended = false;
  board->OnMate = [&](TChessGame*, Square, Square) { ended = true; };
  board->OnStaleMate = [&](TChessGame*, Square, Square) { ended = true; };
  board->OnDraw = [&](TChessGame*) { ended = true; };
  board->setSearchDepth(2);
  board->setComputerPlaysWhite(true);
  board->setComputerPlaysBlack(true);
  board->Paint();
  ASSERT_TRUE(WaitUntil([&] { return ended || board->CurrentMove() > 120; }, 120s));
  for (std::size_t i = 0; i < moves.size(); ++i)
    ASSERT_EQ(moves[i].whiteMoved, i % 2 == 0) << "the sides alternate, move " << i;
  const std::size_t count = moves.size();
  if (ended && !board->HasLegalMove()) {
    Pump(300ms);
    EXPECT_EQ(moves.size(), count) << "nothing is played after the end";
    EXPECT_FALSE(board->Thinking());
  }
}

TEST_F(EngineTest, StopThinkingInsideAHandlerOfTheEnginesOwnMoveNeitherHangsNorWaits) {
  board->setComputerPlaysBlack(true);
  int handled = 0;
  board->OnLegalMove = [&](TChessGame* sender, Square f, Square t) {
    moves.push_back({f, t, false, false});
    auto* b = dynamic_cast<TChessBrd*>(sender);
    if (!b->WhiteToMove()) return;  // the user's move
    ++handled;
    b->StopThinking();
    b->setComputerPlaysBlack(true);  // stop and start from inside the hand-over
  };
  board->Paint();
  ASSERT_TRUE(board->UserMove(Square::E2, Square::E4));
  ASSERT_TRUE(WaitUntil([&] { return handled == 1; }));
  ASSERT_TRUE(board->UserMove(Square::D2, Square::D4) || board->UserMove(Square::G1, Square::F3));
  ASSERT_TRUE(WaitUntil([&] { return handled == 2; })) << "the engine plays on";
}

TEST_F(EngineTest, AThrowingHandlerIsReportedAndTheEnginePlaysOn) {
  board->setComputerPlaysBlack(true);
  int answers = 0;
  board->OnLegalMove = [&](TChessGame* sender, Square, Square) {
    if (!sender->WhiteToMove()) return;
    ++answers;
    throw std::runtime_error("handler failed");
  };
  board->Paint();
  ASSERT_TRUE(board->UserMove(Square::E2, Square::E4));
  ASSERT_TRUE(WaitUntil([&] { return answers == 1 && !errors.empty(); }));
  EXPECT_EQ(errors[0], QStringLiteral("handler failed"));
  ASSERT_TRUE(board->UserMove(Square::D2, Square::D4) || board->UserMove(Square::G1, Square::F3));
  EXPECT_TRUE(WaitUntil([&] { return answers == 2; }));
}

TEST_F(EngineTest, StopAndStartStormsLeaveAWorkingEngine) {
  board->Paint();
  for (int i = 0; i < 300; ++i) {
    board->setComputerPlaysBlack(i % 2 == 0);
    if (i % 3 == 0) board->setWhiteToMove(i % 2 == 1);
    if (i % 5 == 0) board->StopThinking();
    if (i % 7 == 0) board->StartThinking();
    if (i % 11 == 0) QCoreApplication::processEvents();
  }
  board->setPosition("init");
  board->setWhiteToMove(true);
  moves.clear();
  board->setComputerPlaysBlack(true);
  ASSERT_TRUE(board->UserMove(Square::E2, Square::E4));
  EXPECT_TRUE(WaitUntil([&] { return moves.size() == 2; }));
}

TEST_F(EngineTest, DestructionInEveryStateNeitherHangsNorDeliversAMove) {
  int lateMoves = 0;
  auto make = [&] {
    auto b = std::make_unique<TChessBrd>();
    b->setAnimateMoves(false);
    b->OnLegalMove = [&](TChessGame* s, Square, Square) {
      if (s->WhiteToMove()) ++lateMoves;  // a move of the engine, Black
    };
    return b;
  };
  // Parked since creation.
  make().reset();
  // Released, waiting for the user.
  {
    auto b = make();
    b->setComputerPlaysBlack(true);
    b->Paint();
    Pump(150ms);
  }
  // With the engine's move queued for the main thread: the search ends while
  // the main thread is busy; the move never reaches the board.
  for (int round = 0; round < 3; ++round) {
    auto b = make();
    b->setSearchDepth(5);
    b->setComputerPlaysBlack(true);
    b->Paint();
    ASSERT_TRUE(b->UserMove(Square::E2, Square::E4));
    // Stop pumping as soon as the search runs; its move then waits for the
    // main thread until the board is gone.
    if (!WaitUntil([&] { return b->Thinking() || lateMoves > 0; }, 5s)) continue;
    lateMoves = 0;
    std::this_thread::sleep_for(1500ms);
    b.reset();
  }
  EXPECT_EQ(lateMoves, 0);
  // Searching deep when destroyed.
  {
    auto b = make();
    b->setSearchDepth(8);
    b->setComputerPlaysWhite(true);
    b->Paint();
    WaitUntil([&] { return b->Thinking(); }, 2s);
  }
  // Many boards, one after another, each released.
  for (int i = 0; i < 20; ++i) {
    auto b = make();
    b->setComputerPlaysBlack(true);
    b->Paint();
    b->UserMove(Square::E2, Square::E4);
    QCoreApplication::processEvents();
  }
  SUCCEED();
}

TEST_F(EngineTest, ThinkingPriorityIsStoredAndAppliedWithoutStoppingTheEngine) {
  board->setThinkingPriority(TThreadPriority::tpIdle);
  EXPECT_EQ(board->ThinkingPriority(), TThreadPriority::tpIdle);
  board->setComputerPlaysBlack(true);
  board->Paint();
  ASSERT_TRUE(board->UserMove(Square::E2, Square::E4));
  EXPECT_TRUE(WaitUntil([&] { return moves.size() == 2; }));
  EXPECT_EQ(NiceValueOf(TThreadPriority::tpIdle), 19);
  EXPECT_EQ(NiceValueOf(TThreadPriority::tpNormal), 0);
}

}  // namespace
