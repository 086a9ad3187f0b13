// The hint engine: legal moves on a range of positions, mates found, bad
// text answered, and requests cancelled, replaced and destroyed while they
// run. CI runs it under ThreadSanitizer too.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "chess/engine/BenchSuite.h"
#include "chess/engine/Fen.h"
#include "chess/engine/HintEngine.h"
#include "chess/model/ChessGame.h"

using namespace perch;

namespace {

using namespace std::chrono_literals;

// The answers of one test, as the hint thread delivers them.
struct Answers {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::pair<int, THintResult>> got;  // request tag, answer

  THintEngine::TDone For(int tag) {
    return [this, tag](const THintResult& r) {
      std::lock_guard lock(mutex);
      got.emplace_back(tag, r);
      arrived.notify_all();
    };
  }
  // The answers once there are `count` of them (or the time is up).
  std::vector<std::pair<int, THintResult>> Wait(std::size_t count, std::chrono::seconds longest = 60s) {
    std::unique_lock lock(mutex);
    arrived.wait_for(lock, longest, [&] { return got.size() >= count; });
    return got;
  }
  std::size_t Count() {
    std::lock_guard lock(mutex);
    return got.size();
  }
};

THintResult HintFor(THintEngine& hints, const std::string& fen, int depth = THintEngine::DefaultDepth) {
  Answers answers;
  hints.Request(fen, depth, answers.For(0));
  const auto got = answers.Wait(1);
  EXPECT_EQ(got.size(), 1u) << fen;
  return got.empty() ? THintResult{} : got[0].second;
}

bool LegalInModel(const std::string& fen, const THintResult& hint) {
  std::string error;
  const auto parsed = ParseFen(fen, error);
  if (!parsed) return false;
  TChessGame game;
  ApplyFen(*parsed, game);
  if (!game.IsLegalMove(hint.from, hint.to)) return false;
  // A promotion letter exactly when a pawn reaches the last rank.
  const char piece = game.PieceAt(hint.from);
  const bool promotes = (piece == 'P' && RankOf(hint.to) == 8) || (piece == 'p' && RankOf(hint.to) == 1);
  return promotes ? std::string_view("qrbn").find(hint.promotion) != std::string_view::npos
                  : hint.promotion == 0;
}

TEST(HintEngine, GivesLegalMovesOnManyPositions) {
  std::vector<std::string> fens;
  for (const BenchPosition& p : SearchSuite) fens.emplace_back(p.fen);
  fens.insert(fens.end(), {
                              // Black to move, en passant possible, castling both ways.
                              "rnbqkbnr/ppp1pppp/8/8/3pP3/5N2/PPPP1PPP/RNBQKB1R b KQkq e3 0 3",
                              "r3k2r/pppq1ppp/2npbn2/2b1p3/2B1P3/2NPBN2/PPPQ1PPP/R3K2R w KQkq - 0 8",
                              // In check from a guarded queen.
                              "8/8/8/8/8/3k4/3q4/4K3 w - - 0 1",
                              // A pawn that promotes now or is lost.
                              "8/1P6/2k5/8/8/8/6K1/8 w - - 0 1",
                              "8/8/8/8/8/8/p1K5/6k1 b - - 0 1",
                          });
  ASSERT_GE(fens.size(), 12u);
  THintEngine hints;
  for (const std::string& fen : fens) {
    SCOPED_TRACE(fen);
    const THintResult hint = HintFor(hints, fen);
    ASSERT_TRUE(hint.found);
    EXPECT_TRUE(LegalInModel(fen, hint)) << SquareName(hint.from) << SquareName(hint.to) << hint.promotion;
  }
  // The pawns promote, to queens.
  EXPECT_EQ(HintFor(hints, fens[11]).promotion, 'q');
  EXPECT_EQ(HintFor(hints, fens[12]).promotion, 'q');
}

TEST(HintEngine, FindsMateInOneAndScoresForTheSideToMove) {
  THintEngine hints;
  const THintResult white = HintFor(hints, "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
  ASSERT_TRUE(white.found);
  EXPECT_EQ(SquareName(white.from) + SquareName(white.to), "a1a8");
  EXPECT_GT(white.scoreCp, 5000);
  const THintResult black = HintFor(hints, "rnb1kbnr/pppp1ppp/8/4p2q/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 3");
  ASSERT_TRUE(black.found);
  EXPECT_EQ(SquareName(black.from) + SquareName(black.to), "h5h4");
  EXPECT_GT(black.scoreCp, 5000);
  // A side a queen down sees the score from its own side.
  const THintResult down = HintFor(hints, "8/8/8/8/8/3k4/3q4/4K3 w - - 0 1");
  EXPECT_LT(down.scoreCp, -500);
}

TEST(HintEngine, AnswersNotFoundForNoMoveAndForText) {
  THintEngine hints;
  // Mated, stalemated, and texts that are no position.
  for (const char* text : {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3",
                           "k7/8/1QK5/8/8/8/8/8 b - - 0 1", "", "not a position", "8/8/8 w - - 0 1"}) {
    SCOPED_TRACE(text);
    const THintResult hint = HintFor(hints, text);
    EXPECT_FALSE(hint.found);
  }
  // The engine goes on answering afterwards.
  EXPECT_TRUE(HintFor(hints, StartFen).found);
}

TEST(HintEngine, ANewRequestReplacesTheRunningOne) {
  THintEngine hints;
  Answers answers;
  // A deep search of a busy position runs for a long time; the requests
  // that follow it replace it at once.
  hints.Request(KiwipeteFen, THintEngine::MaxDepth, answers.For(1));
  std::this_thread::sleep_for(50ms);
  hints.Request(KiwipeteFen, THintEngine::MaxDepth, answers.For(2));
  hints.Request(StartFen, 3, answers.For(3));
  const auto got = answers.Wait(1);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].first, 3);
  EXPECT_TRUE(got[0].second.found);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(answers.Count(), 1u) << "the replaced requests never answer";
}

TEST(HintEngine, CancelAndDestroyWhileSearching) {
  Answers answers;
  {
    THintEngine hints;
    hints.Request(KiwipeteFen, THintEngine::MaxDepth, answers.For(1));
    std::this_thread::sleep_for(50ms);
    hints.Cancel();
    hints.Cancel();  // twice is as once
    // A request after a cancel runs as usual.
    hints.Request(StartFen, 2, answers.For(2));
    const auto got = answers.Wait(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].first, 2);
  }
  // Destroyed while searching, while waiting to start, and straight away.
  for (const int wait : {50, 0}) {
    auto hints = std::make_unique<THintEngine>();
    hints->Request(KiwipeteFen, THintEngine::MaxDepth, answers.For(3));
    std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    hints.reset();
  }
  { THintEngine idle; }
  EXPECT_EQ(answers.Count(), 1u);
}

TEST(HintEngine, ADoneMayAskAgainFromTheHintThread) {
  THintEngine hints;
  Answers answers;
  std::optional<THintResult> first;
  hints.Request(StartFen, 2, [&](const THintResult& r) {
    first = r;
    hints.Request(KiwipeteFen, 2, answers.For(2));
  });
  const auto got = answers.Wait(1);
  ASSERT_EQ(got.size(), 1u);
  ASSERT_TRUE(first.has_value());
  EXPECT_TRUE(first->found);
  EXPECT_TRUE(got[0].second.found);
}

}  // namespace
