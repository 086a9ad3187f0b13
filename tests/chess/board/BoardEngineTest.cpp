// The engine thread and its hand-off with the board: answers to the user's
// moves, parking, the custom engine, games the engine plays against itself,
// handlers of the engine's move, stop and start storms, and destruction in
// every state.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cctype>
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "chess/board/BoardErrorBox.h"
#include "chess/board/TChessBrd.h"
#include "tests/chess/board/BoardTestSupport.h"

using namespace perch;

namespace {

using namespace std::chrono_literals;

// Processes events until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds longest = 20s) {
  const auto end = std::chrono::steady_clock::now() + longest;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

void Pump(std::chrono::milliseconds time) {
  WaitUntil([] { return false; }, time);
}

class EngineTest : public ::testing::Test {
 protected:
  struct MoveRecord {
    Square to;
    bool thinkingDuringEvent, whiteMoved;
  };
  std::vector<MoveRecord> moves;  // of every board the test makes
  std::vector<QString> errors;
  std::unique_ptr<TChessBrd> board = Make();

  std::unique_ptr<TChessBrd> Make() {
    auto b = std::make_unique<TChessBrd>();
    b->setAnimateMoves(false);
    // The side to move has changed already when the move is reported.
    b->OnLegalMove = [this, b = b.get()](TChessGame*, Square, Square to) {
      moves.push_back({to, b->Thinking(), !b->WhiteToMove()});
    };
    return b;
  }
  // The user's second move, whatever the engine answered to 1. e4.
  bool SecondUserMove() {
    return board->UserMove(Square::D2, Square::D4) || board->UserMove(Square::G1, Square::F3);
  }
  void SetUp() override {
    perch::SetBoardErrorReporter([this](const QString& m) { errors.push_back(m); });
  }
  void TearDown() override { perch::SetBoardErrorReporter({}); }
};

TEST_F(EngineTest, AfterAStopAndStartStormTheEngineAnswersEachUserMoveOnce) {
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
  Pump(200ms);
  EXPECT_TRUE(moves.empty()) << "White is to move: the engine waits";
  ASSERT_TRUE(board->UserMove(Square::E2, Square::E4));
  board->setThinkingPriority(TThreadPriority::tpIdle);  // applied without stopping it
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 2; }));
  EXPECT_FALSE(moves[1].whiteMoved);
  EXPECT_FALSE(moves[1].thinkingDuringEvent);
  EXPECT_TRUE(std::islower(static_cast<unsigned char>(board->PieceAt(moves[1].to))));
  EXPECT_TRUE(board->WhiteToMove());
  EXPECT_FALSE(board->Thinking());
  Pump(300ms);
  EXPECT_EQ(moves.size(), 2u) << "one answer per move";
  ASSERT_TRUE(SecondUserMove());
  EXPECT_TRUE(WaitUntil([&] { return moves.size() == 4; }));
}

TEST_F(EngineTest, APositionWriteParksTheEngineUntilTheNextStart) {
  for (const bool painted : {true, false}) {
    SCOPED_TRACE(painted ? "painted" : "before the first paint");
    board = Make();
    moves.clear();
    board->setComputerPlaysBlack(true);
    if (painted) board->Paint();
    board->setWhiteToMove(false);  // the computer to move; the write parks
    Pump(300ms);
    EXPECT_TRUE(moves.empty());
    EXPECT_TRUE(board->EngineHeld());
    board->setComputerPlaysBlack(true);  // stop, store, start
    ASSERT_TRUE(WaitUntil([&] { return moves.size() == 1; }));
    EXPECT_FALSE(moves[0].whiteMoved);
  }
}

TEST_F(EngineTest, DropsAreRefusedWhileTheEngineThinks) {
  board->setSearchDepth(8);
  board->setComputerPlaysWhite(true);
  std::vector<Square> illegal;
  board->OnIllegalMove = [&](TChessGame*, Square s) { illegal.push_back(s); };
  board->Paint();
  ASSERT_TRUE(WaitUntil([&] { return board->Thinking(); }, 5s));
  const QPoint e2 = boardtest::Centre(*board, Square::E2);
  boardtest::DragTo(*board, e2, boardtest::Centre(*board, Square::E4));
  boardtest::DragTo(*board, e2, e2 + QPoint(6, 6));  // not even back on its own square
  if (board->Thinking()) {
    EXPECT_EQ(illegal, (std::vector<Square>{Square::E2, Square::E2}));
    EXPECT_EQ(board->PieceAt(Square::E2), 'P');
  }
  board.reset();  // in the middle of the deep search: no hang, no move afterwards
}

TEST_F(EngineTest, TheCustomEngineIsAskedOnlyAfterTheFirstUserMove) {
  int asked = 0;
  bool answer = false;
  std::vector<std::pair<Square, Square>> failed;
  board->setCustomEngine(true);
  board->setComputerPlaysBlack(true);
  board->OnCalculateMove = [&](TChessGame*, Square& from, Square& to) {
    ++asked;
    EXPECT_EQ(from, Square::None);
    EXPECT_EQ(to, Square::None);
    if (answer) from = Square::E7, to = Square::E5;
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
  board->OnMate = board->OnStaleMate = [&](TChessGame*, Square, Square) { ended = true; };
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

TEST_F(EngineTest, AHandlerOfTheEnginesMoveMayStopAndStartItOrThrowAndTheEnginePlaysOn) {
  for (const bool throws : {false, true}) {
    SCOPED_TRACE(throws ? "a throwing handler" : "StopThinking inside the hand-over");
    board = Make();
    errors.clear();
    int answers = 0;
    board->OnLegalMove = [&, b = board.get()](TChessGame*, Square, Square) {
      if (!b->WhiteToMove()) return;  // the user's move
      ++answers;
      if (throws) throw std::runtime_error("handler failed");
      b->StopThinking();  // neither hangs nor waits for the pass it runs in
      b->setComputerPlaysBlack(true);
    };
    board->setComputerPlaysBlack(true);
    board->Paint();
    ASSERT_TRUE(board->UserMove(Square::E2, Square::E4));
    ASSERT_TRUE(WaitUntil([&] { return answers == 1 && errors.size() == (throws ? 1u : 0u); }));
    EXPECT_EQ(errors, throws ? std::vector{QStringLiteral("handler failed")} : std::vector<QString>{});
    ASSERT_TRUE(SecondUserMove());
    ASSERT_TRUE(WaitUntil([&] { return answers == 2; })) << "the engine plays on";
  }
}

TEST_F(EngineTest, WhileTheUserThinksTheEngineSleepsAndAnyChangeThatGivesItTheTurnWakesIt) {
  board->setComputerPlaysBlack(true);
  board->Paint();  // released twice: a look or two, White to move
  ASSERT_TRUE(WaitUntil([&] { return board->EngineTurnTests() >= 1; }));
  auto expectAsleep = [&](const char* when) {
    Pump(200ms);  // a look already asked for may still come
    const int looks = board->EngineTurnTests();
    Pump(400ms);
    EXPECT_EQ(board->EngineTurnTests(), looks) << "no looks while nothing changes, " << when;
  };
  expectAsleep("at the start");
  // A move made by program code, not by the user's hand.
  ASSERT_TRUE(board->MakeMove(Square::E2, Square::E4));
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 2; }));
  EXPECT_FALSE(moves[1].whiteMoved);
  expectAsleep("after its answer");
  // The custom engine switched off while the computer is to move.
  board->setCustomEngine(true);
  ASSERT_TRUE(board->MakeMove(Square::D2, Square::D4));
  Pump(300ms);
  EXPECT_EQ(moves.size(), 3u) << "the built-in engine leaves the custom engine's turn alone";
  board->setCustomEngine(false);
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 4; }));
  EXPECT_FALSE(moves[3].whiteMoved);
}

TEST_F(EngineTest, DestructionInEveryStateNeitherHangsNorDeliversAMove) {
  board.reset();  // parked since creation
  {
    auto b = Make();  // released, waiting for the user
    b->setComputerPlaysBlack(true);
    b->Paint();
    Pump(150ms);
  }
  // With the engine's move queued for the main thread: the search ends while
  // the main thread is busy, and the move never reaches the board.
  for (int round = 0; round < 3; ++round) {
    auto b = Make();
    b->setSearchDepth(5);
    b->setComputerPlaysBlack(true);
    b->Paint();
    ASSERT_TRUE(b->UserMove(Square::E2, Square::E4));
    moves.clear();
    // Events stop as soon as the search runs; its move then waits for the
    // main thread until the board is gone.
    if (!WaitUntil([&] { return b->Thinking() || !moves.empty(); }, 5s) || !moves.empty()) continue;
    std::this_thread::sleep_for(1500ms);
    b.reset();
    EXPECT_TRUE(moves.empty()) << "round " << round;
  }
  // Many boards, one after another, each released.
  for (int i = 0; i < 20; ++i) {
    auto b = Make();
    b->setComputerPlaysBlack(true);
    b->Paint();
    b->UserMove(Square::E2, Square::E4);
    QCoreApplication::processEvents();
  }
}

// --- taking back ---------------------------------------------------------------------

TEST_F(EngineTest, TakeBackWhileTheEngineThinksOrHasItsMoveQueuedDropsThatMove) {
  const std::string start = board->Position();
  for (const bool queued : {false, true}) {
    SCOPED_TRACE(queued ? "its move queued for the main thread" : "while it searches");
    board = Make();
    moves.clear();
    board->setSearchDepth(queued ? 5 : 8);
    board->setComputerPlaysBlack(true);
    board->Paint();
    ASSERT_TRUE(board->UserMove(Square::E2, Square::E4));
    ASSERT_TRUE(WaitUntil([&] { return board->Thinking() || moves.size() > 1; }, 5s));
    if (moves.size() > 1) continue;  // answered before it could be caught
    // Events stop while the search runs; its move then waits for the main
    // thread, which is busy taking the user's move back.
    if (queued) std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(board->TakeBack(1));
    EXPECT_EQ(board->Position(), start);
    EXPECT_TRUE(board->WhiteToMove());
    EXPECT_FALSE(board->Thinking());
    Pump(500ms);
    EXPECT_EQ(moves.size(), 1u) << "the stale move never reaches the board";
    EXPECT_EQ(board->Position(), start);
    // The game goes on from there.
    board->setSearchDepth(1);
    ASSERT_TRUE(board->UserMove(Square::D2, Square::D4));
    ASSERT_TRUE(WaitUntil([&] { return moves.size() == 3; }));
    EXPECT_FALSE(moves[2].whiteMoved);
  }
}

TEST_F(EngineTest, TakeBackOfTheUsersMoveAndTheReply) {
  const std::string start = board->Position();
  board->setComputerPlaysBlack(true);
  board->Paint();
  EXPECT_FALSE(board->TakeBack(2)) << "no move made yet";
  ASSERT_TRUE(board->UserMove(Square::E2, Square::E4));
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 2; }));
  ASSERT_TRUE(board->UserMove(Square::D2, Square::D4) || board->UserMove(Square::G1, Square::F3));
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 4; }));
  const std::string afterFirst = board->HistoryRecord(2, TChessGame::Side::White)->PositionStr;
  ASSERT_TRUE(board->TakeBack(2));
  EXPECT_EQ(board->Position(), afterFirst);
  EXPECT_EQ(board->CurrentMove(), 2);
  EXPECT_TRUE(board->WhiteToMove());
  // More than were made: back to the start.
  ASSERT_TRUE(board->TakeBack(10));
  EXPECT_EQ(board->Position(), start);
  EXPECT_FALSE(board->TakeBack(1));
  Pump(300ms);
  EXPECT_EQ(moves.size(), 4u) << "White to move: the engine waits";
  // The board drew the position it went back to.
  TChessBrd fresh;
  fresh.Paint();
  board->Paint();
  EXPECT_EQ(board->Canvas(), fresh.Canvas());
}

TEST_F(EngineTest, TakenBackToTheComputersTurnItMovesAgain) {
  board->setComputerPlaysWhite(true);  // the user plays Black
  board->Paint();
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 1; }));
  ASSERT_TRUE(board->UserMove(Square::E7, Square::E5) || board->UserMove(Square::D7, Square::D5));
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 3; }));
  ASSERT_TRUE(board->TakeBack(3));
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 4; })) << "White's first move again";
  EXPECT_TRUE(moves[3].whiteMoved);
  EXPECT_TRUE(std::isupper(static_cast<unsigned char>(board->PieceAt(moves[3].to))));
  EXPECT_FALSE(board->WhiteToMove());
  Pump(300ms);
  EXPECT_EQ(moves.size(), 4u);
}

TEST_F(EngineTest, TakeBackIsRefusedInsideAMoveAndEndsADrag) {
  std::vector<bool> answers;
  board->OnLegalMove = [&, b = board.get()](TChessGame*, Square, Square to) {
    moves.push_back({to, false, !b->WhiteToMove()});
    answers.push_back(b->TakeBack(1));
  };
  board->setComputerPlaysBlack(true);
  board->Paint();
  ASSERT_TRUE(board->UserMove(Square::E2, Square::E4));
  ASSERT_TRUE(WaitUntil([&] { return moves.size() == 2; }));
  EXPECT_EQ(answers, std::vector<bool>({false, false}));
  EXPECT_EQ(board->MovesToTakeBack(), 2);

  // A piece lifted when the move is taken back goes down with no move.
  board->OnLegalMove = nullptr;
  const QPoint d2 = boardtest::Centre(*board, Square::D2);
  boardtest::Press(*board, d2);
  boardtest::Move(*board, d2 + QPoint(20, -30));
  ASSERT_TRUE(board->DragImageShown());
  ASSERT_TRUE(board->TakeBack(2));
  EXPECT_FALSE(board->DragImageShown());
  boardtest::Release(*board, boardtest::Centre(*board, Square::D4));
  EXPECT_EQ(board->PieceAt(Square::D4), ' ');
  EXPECT_EQ(board->MovesToTakeBack(), 0);
}

// --- varied moves ------------------------------------------------------------------------

TEST_F(EngineTest, VariedRepliesDifferWithTheSeedAndPlainOnesNever) {
  EXPECT_FALSE(board->VaryMoves());
  board->setSearchDepth(2);
  board->setComputerPlaysBlack(true);
  board->Paint();
  const auto replies = [&](bool vary) {
    board->setVaryMoves(vary);
    std::set<Square> seen;
    for (std::uint64_t seed = 1; seed <= 10; ++seed) {
      board->setVarySeed(seed);
      moves.clear();
      EXPECT_TRUE(board->UserMove(Square::E2, Square::E4));
      EXPECT_TRUE(WaitUntil([&] { return moves.size() == 2; }));
      if (moves.size() == 2) seen.insert(moves[1].to);
      EXPECT_TRUE(board->TakeBack(2));
    }
    return seen.size();
  };
  EXPECT_EQ(replies(false), 1u);
  EXPECT_GE(replies(true), 2u);
  EXPECT_EQ(replies(false), 1u);
}

}  // namespace
