// perch-uci under the rules of chess: the chess program's moves are played
// whatever came before, castling rights go with a rook taken on its corner,
// and the legal moves of each position are stockfish's.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "tests/apps/perch-uci/UciHarness.h"
#include "tests/chess/engine/ChildProcess.h"

using namespace perch;

namespace {

using namespace std::chrono_literals;

const std::string KnightDance =
    "position startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8";  // the start three times
const std::string RookDance = "position startpos moves g1f3 g8f6 h1g1 h8g8 g1h1 g8h8 h1g1 h8g8 g1h1 g8h8";
// The h1 rook is taken on its corner and the a1 rook takes its place.
const std::string RookTakenOnCorner =
    "position startpos moves g2g4 b7b6 g1h3 c8b7 h3g5 b7h1 a2a4 e7e6 a1a3 g8f6 h2h4 f8e7 a3h3 e8g8 h3h1 d7d6 "
    "f1g2 c7c6";

}  // namespace

TEST(UciRules, EveryLegalMoveIsPlayedWhateverCameBefore) {
  UciHarness s;
  // A real threefold repetition, then a move after it.
  EXPECT_TRUE(s.Run({KnightDance + " e2e4"}).empty());
  EXPECT_EQ(s.Fen(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 5");
  const Lines answer = s.Run({"go depth 3"});
  ASSERT_FALSE(answer.empty());
  EXPECT_EQ(answer.back().rfind("bestmove ", 0), 0u);
  EXPECT_TRUE(answer.back()[10] == '7' || answer.back()[10] == '8') << "Black's move: " << answer.back();

  // The same placement with other castling rights is no repetition.
  EXPECT_TRUE(s.Run({RookDance + " e2e4"}).empty());
  EXPECT_EQ(s.Fen(), "rnbqkb1r/pppppppp/5n2/8/4P3/5N2/PPPP1PPP/RNBQKB1R b Qq e3 0 6");

  // A draw the board would declare (no mating material) does not end the game here either.
  EXPECT_TRUE(s.Run({"position fen 4k3/8/8/8/8/8/8/4K2n w - - 0 1 moves e1f1 e8e7 f1g1"}).empty());
  EXPECT_EQ(s.Fen(), "8/4k3/8/8/8/8/8/6Kn b - - 0 2");
}

TEST(UciRules, CastlingRightsGoWithARookTakenOnItsCorner) {
  UciHarness s;
  s.Run({"position fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1 moves a1a8"});
  EXPECT_EQ(s.Fen(), "R3k2r/8/8/8/8/8/8/4K2R b Kk - 0 1");
  s.Run({"position fen r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1 moves h8h1"});
  EXPECT_EQ(s.Fen(), "r3k3/8/8/8/8/8/8/R3K2r w Qq - 0 2");
  // Another rook on the corner brings no right back.
  EXPECT_TRUE(s.Run({RookTakenOnCorner}).empty());
  EXPECT_EQ(s.Fen(), "rn1q1rk1/p3bppp/1ppppn2/6N1/P5PP/8/1PPPPPB1/1NBQK2R w - - 0 10");
  EXPECT_EQ(s.Run({RookTakenOnCorner + " e1g1"}), Lines{"info string error: illegal move 'e1g1'"});
}

TEST(UciRules, LegalMovesAreStockfishsAfterRepetitionsAndCaptures) {
  const std::string stockfish = FindProgram("stockfish");
  if (stockfish.empty()) GTEST_SKIP() << "stockfish is not installed";
  ChildProcess peer({stockfish});
  ASSERT_TRUE(peer.Running());
  peer.Send("uci");
  ASSERT_TRUE(peer.ReadUntil("uciok", 10s));
  for (const std::string& position :
       {KnightDance, KnightDance + " e2e4", RookDance + " e2e4", RookTakenOnCorner,
        std::string("position fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1 moves a1a8"),
        std::string("position fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1 moves a1a8 e8d8 a8b8 h8h1")}) {
    peer.Send(position);
    peer.Send("go perft 1");
    Lines theirs;
    const auto last = peer.ReadUntil("Nodes searched", 30s, &theirs);
    ASSERT_TRUE(last) << position;
    theirs.push_back(*last);
    UciHarness s;
    const Lines ours = s.Run({position, "go perft 1"});
    EXPECT_EQ(Divide(ours), Divide(theirs)) << position;

    // The search answers with one of those moves.
    const Lines searched = s.Run({"go depth 3"});
    ASSERT_FALSE(searched.empty());
    const std::string best = searched.back().substr(9, searched.back().find(' ', 9) - 9);
    EXPECT_TRUE(Divide(theirs).count(best)) << position << ": " << searched.back();
  }
}

TEST(UciRules, FenCountersAreKept) {
  UciHarness s;
  s.Run({"position fen 4k3/8/8/8/8/8/4P3/R3K3 w Q - 99 80"});
  EXPECT_EQ(s.Fen(), "4k3/8/8/8/8/8/4P3/R3K3 w Q - 99 80");
  s.Run({"position fen 4k3/8/8/8/8/8/4P3/R3K3 w Q - 99 80 moves e1d1 e8d8"});
  EXPECT_EQ(s.Fen(), "3k4/8/8/8/8/8/4P3/R2K4 w - - 99 81") << "kept on quiet moves";
  s.Run({"position fen 4k3/8/8/8/8/8/4P3/R3K3 w Q - 99 80 moves e2e4"});
  EXPECT_EQ(s.Fen(), "4k3/8/8/8/4P3/8/8/R3K3 b Q e3 0 80") << "a pawn move resets the clock";
  s.Run({"position fen 4k3/8/8/8/8/8/4P3/R3K3 w Q - 7"});
  EXPECT_EQ(s.Fen(), "4k3/8/8/8/8/8/4P3/R3K3 w Q - 7 1");
  s.Run({"position fen 4k3/8/8/8/8/8/4P3/R3K3 w Q -"});
  EXPECT_EQ(s.Fen(), "4k3/8/8/8/8/8/4P3/R3K3 w Q - 0 1");
  EXPECT_EQ(s.Run({"d"})[10], "CurrentMove: 1");
}

TEST(UciRules, AGoWithoutTheMoversClockSearchesToTheDefaultDepth) {
  UciHarness s;
  s.Run({"setoption name SearchDepth value 2"});
  for (const char* position : {"position startpos", "position startpos moves e2e4"}) {
    const bool white = std::string(position) == "position startpos";
    const Lines lines = s.Run({position, white ? "go btime 1000 binc 100" : "go wtime 1000 winc 100"});
    ASSERT_GE(lines.size(), 2u) << position;
    EXPECT_EQ(lines[lines.size() - 2].rfind("info depth 2 ", 0), 0u) << position;
    EXPECT_EQ(lines.back().rfind("bestmove ", 0), 0u) << position;
  }
}
