// perch-uci: the commands through a session, perft against stockfish, and
// the program itself driven by polyglot as an xboard engine.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <tuple>

#include "apps/perch-uci/GoCommand.h"
#include "apps/perch-uci/TimeManagement.h"
#include "chess/engine/BenchSuite.h"
#include "tests/apps/perch-uci/UciHarness.h"
#include "tests/chess/engine/ChildProcess.h"

using namespace perch;

using namespace std::chrono_literals;

TEST(Uci, HandshakeAndDisplay) {
  UciHarness s;
  const Lines hello = s.Run({"uci", "isready"});
  ASSERT_GE(hello.size(), 2u);
  EXPECT_EQ(Lines(hello.end() - 2, hello.end()), (Lines{"uciok", "readyok"}));

  EXPECT_EQ(
      s.Run({"position startpos moves e2e4", "d"}),
      (Lines{"rnbqkbnr", "pppppppp", "........", "........", "....P...", "........", "PPPP.PPP", "RNBQKBNR",
             "Position: \"rnbqkbnrpppppppp                    P           PPPP PPPRNBQKBNR\"",
             "WhiteToMove: false", "CurrentMove: 1", "EnPassant: e3", "CastlingAllowed: KQkq",
             "FEN: rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"}));
  s.Run({"position fen r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1 moves e1g1"});
  EXPECT_EQ(s.Fen(), "r3k2r/8/8/8/8/8/8/R4RK1 b q - 0 1");
}

TEST(Uci, EventLogShowsTheModelsEventsInOrder) {
  UciHarness s;
  auto lines = s.Run({"setoption name EventLog value true", "position startpos moves f2f3 e7e5 g2g4 d8h4"});
  ASSERT_EQ(lines.size(), 3 * 2 + 4u);
  EXPECT_EQ(Lines(lines.end() - 4, lines.end()),
            (Lines{"info string event OnLegalMove d8 h4", "info string event OnCheck d8 h4",
                   "info string event OnMate d8 h4", "info string event OnPaint"}));
  EXPECT_EQ(s.Run({"position fen 4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1 moves e5d6"}),
            (Lines{"info string event OnLegalMove e5 d6", "info string event OnCapture e5 d6 p",
                   "info string event OnPaint"}));
  s.Run({"setoption name EventLog value false"});
  EXPECT_TRUE(s.Run({"position startpos moves e2e4"}).empty());
}

TEST(Uci, PromotionLetterIsWhatThePromotionHandlerHandsBack) {
  UciHarness s;
  const std::string position = "position fen 1r5k/P7/8/8/8/8/8/K7 w - - 0 1 moves ";
  const Lines events = s.Run({"setoption name EventLog value true", position + "a7b8n"});
  EXPECT_NE(std::find(events.begin(), events.end(), "info string event OnPromotion a7 b8 n"), events.end());
  EXPECT_EQ(s.Fen(), "1N5k/8/8/8/8/8/8/K7 b - - 0 1");
  s.Run({position + "a7a8"});
  EXPECT_EQ(s.Fen(), "Qr5k/8/8/8/8/8/8/K7 b - - 0 1") << "no letter keeps the promotion piece";
}

TEST(Uci, ErrorsAreNamedAndThePositionStopsBeforeTheBadMove) {
  UciHarness s;
  EXPECT_EQ(s.Run({"position startpos moves e2e4 e7e4 d2d4"}),
            Lines{"info string error: illegal move 'e7e4'"});
  EXPECT_EQ(s.Fen(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  for (const char* bad : {"position startpos moves e2e4 e7e5q", "position startpos moves e9e4",
                          "position fen 1r5k/P7/8/8/8/8/8/K7 w - - 0 1 moves a7a8k"}) {
    const auto lines = s.Run({bad});
    ASSERT_EQ(lines.size(), 1u) << bad;
    EXPECT_EQ(lines[0].rfind("info string error: illegal move", 0), 0u) << bad;
  }

  // A bad FEN or command leaves the position as it was.
  s.Run({"position startpos moves g1f3"});
  for (const char* bad : {"position fen rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                          "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1",
                          "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e4 0 1",
                          "position fen 8/8/8 w - -", "position", "frobnicate"}) {
    const auto lines = s.Run({bad});
    ASSERT_EQ(lines.size(), 1u) << bad;
    EXPECT_EQ(lines[0].rfind("info string error: ", 0), 0u) << bad;
    EXPECT_EQ(s.Fen(), "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 0 1") << "kept after " << bad;
  }
  EXPECT_TRUE(s.session.Handle("isready"));
  EXPECT_FALSE(s.session.Handle("quit"));
}

TEST(Uci, SearchReportsEachIterationAndTheBestMove) {
  // Position, go, a part of the last info line (whose best line starts with
  // the best move) and the best move. One session: a search that finds no
  // move may find an older one in the best line, which must not be played.
  const std::tuple<const char*, const char*, const char*, const char*, std::string> cases[] = {
      {"startpos", "go depth 1", "info depth 1 ", " score cp 28 nodes ", "d2d4"},
      {"startpos", "go depth 0", "info depth 1 ", "", "d2d4"},  // clamped to 1..64
      {"fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "go depth 2", "info depth 2 ", " score mate 1 ", "a1a8"},
      // Mated in one whatever White does.
      {"fen 1r6/8/8/8/8/8/P4k2/7K w - - 0 1", "go depth 2", "info depth 2 ", " score mate -1 ", "a2a4"},
      // Mated already: the root scores -10,000, mate 0, and there is no move.
      {"fen 7k/8/8/8/8/8/5PPP/r5K1 w - - 0 1", "go depth 1", "info depth 1 ", " score mate 0 ", "0000"},
      {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go depth 3", "info depth 3 ", " score cp 0 ", "0000"},
      {"fen 8/P6k/8/8/8/8/8/K7 w - - 0 1", "go depth 1", "info depth 1 ", "", "a7a8q"},  // with its letter
  };
  UciHarness s;
  for (const auto& [position, go, lastInfo, score, best] : cases) {
    SCOPED_TRACE(std::string(position) + " " + go);
    const auto lines = s.Run({std::string("position ") + position, go});
    ASSERT_GE(lines.size(), 2u);
    const std::string& info = lines[lines.size() - 2];
    EXPECT_EQ(info.rfind(lastInfo, 0), 0u) << info;
    EXPECT_NE(info.find(score), std::string::npos) << info;
    // The best move, then the reply the line expects when it has one.
    EXPECT_EQ(lines.back().substr(0, lines.back().find(" ponder")), "bestmove " + best);
    if (best != "0000") {
      EXPECT_NE(info.find(" pv " + best), std::string::npos) << info;
    }
  }
}

TEST(Uci, UcinewgameClearsTheBestLine) {
  UciHarness s;
  const std::string kiwipete = std::string("position fen ") + KiwipeteFen;
  auto nodes = [&s](const Lines& commands) {
    Lines lines = s.Run(commands);
    for (std::string& line : lines) line = line.substr(0, line.find(" nps"));
    return lines;
  };
  const Lines first = nodes({kiwipete, "go depth 3"});
  EXPECT_EQ(nodes({"ucinewgame", kiwipete, "go depth 3"}), first);
}

TEST(Uci, PerftMatchesStockfishMoveByMove) {
  const std::string stockfish = FindProgram("stockfish");
  if (stockfish.empty()) GTEST_SKIP() << "stockfish is not installed";
  const std::pair<const char*, int> cases[] = {
      {StartFen, 4},
      {KiwipeteFen, 3},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 5},
      {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 4},
      {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3},
      {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3},
      {"rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3", 3},  // en passant
      {"8/8/3k4/8/2pP4/8/B7/4K3 b - d3 0 1", 4},                             // en passant pin
      {"r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1", 3},                      // castling through attack
      {"8/P1k5/K7/8/8/8/8/8 w - - 0 1", 5},                                  // promotion
  };
  ChildProcess peer({stockfish});
  ASSERT_TRUE(peer.Running());
  peer.Send("uci");
  ASSERT_TRUE(peer.ReadUntil("uciok", 10s));
  for (const auto& [fen, depth] : cases) {
    const Lines commands = {std::string("position fen ") + fen, "go perft " + std::to_string(depth)};
    for (const std::string& c : commands) peer.Send(c);
    Lines theirs;
    const auto last = peer.ReadUntil("Nodes searched", 60s, &theirs);
    ASSERT_TRUE(last) << fen;
    theirs.push_back(*last);
    UciHarness s;
    EXPECT_EQ(Divide(s.Run(commands)), Divide(theirs)) << fen;
  }
}

TEST(Uci, PerftAfterAStoppedSearchCountsEverything) {
  UciHarness s;
  s.Run({"position startpos"});
  // A stopped search leaves the engine's stop request set.
  s.session.Handle("go infinite");
  s.session.Handle("stop");
  s.Settle();
  const Lines lines = s.Run({"go perft 2"});
  // As Stockfish prints it: one line a root move, then the total between blank lines.
  ASSERT_EQ(lines.size(), 20 + 3u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(lines[i].substr(4), ": 20") << lines[i];
  EXPECT_EQ(Lines(lines.end() - 3, lines.end()), (Lines{"", "Nodes searched: 400", ""}));

  // The commands that need the engine wait for the count, as a script that
  // pipes perft after perft expects.
  s.session.Handle("go perft 3");
  const Lines next = s.Run({"position startpos moves e2e4", "go perft 1"});
  ASSERT_EQ(next.size(), 20 + 3 + 20 + 3u);
  EXPECT_EQ(next[21], "Nodes searched: 8902");
  EXPECT_EQ(next[44], "Nodes searched: 20");

  // Cut short by stop: the root moves finished, if any, then the partial
  // mark and their total.
  s.session.Handle("go perft 6");
  const Lines cut = s.Run({"stop"});
  ASSERT_GE(cut.size(), 4u);
  std::uint64_t sum = 0;
  for (auto line = cut.begin(); line != cut.end() - 4; ++line) sum += std::stoull(line->substr(6));
  EXPECT_EQ(Lines(cut.end() - 4, cut.end()), (Lines{"info string perft stopped: the count is partial", "",
                                                    "Nodes searched: " + std::to_string(sum), ""}));
}

TEST(Uci, AnswersAMoveThroughPolyglot) {
  const std::string polyglot = FindProgram("polyglot");
  if (polyglot.empty()) GTEST_SKIP() << "polyglot is not installed";
  const auto dir =
      std::filesystem::temp_directory_path() / ("perch-uci-polyglot-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "perch.ini") << "[PolyGlot]\nEngineDir = " << dir.string()
                                   << "\nEngineCommand = " << PERCH_UCI_PATH
                                   << "\nBook = false\nLog = false\n[Engine]\nSearchDepth = 3\n";
  {
    ChildProcess gui({polyglot, (dir / "perch.ini").string()}, dir.string());
    ASSERT_TRUE(gui.Running());
    for (const char* command : {"xboard", "protover 2"}) gui.Send(command);
    ASSERT_TRUE(gui.ReadUntil("feature done=1", 20s)) << "polyglot did not start perch-uci";
    // One second a move: the engine keeps to the clock polyglot passes on.
    for (const char* command : {"new", "st 1", "e2e4"}) gui.Send(command);
    const auto move = gui.ReadUntil("move ", 30s);
    ASSERT_TRUE(move) << "no move from perch-uci through polyglot";
    EXPECT_GE(move->size(), 9u) << *move;
    gui.Send("quit");
  }
  std::filesystem::remove_all(dir);
}

namespace {

// The number after `key` in an info line, or -1.
long long InfoField(const std::string& line, const std::string& key) {
  std::istringstream words(line);
  for (std::string word; words >> word;)
    if (word == key && words >> word) return std::stoll(word);
  return -1;
}

Lines InfoLines(const Lines& lines) {
  Lines infos;
  for (const std::string& line : lines)
    if (line.rfind("info depth ", 0) == 0) infos.push_back(line);
  return infos;
}

}  // namespace

TEST(Uci, UnreachablePositionsAreRefusedByTheirFault) {
  const std::pair<const char*, const char*> cases[] = {
      {"KKK5/8/8/8/8/8/8/8 w - - 0 1", "white has 3 kings"},
      {"4k3/8/8/8/8/8/8/8 w - - 0 1", "white has no king"},
      {"4k3/8/8/8/8/8/8/4K2k w - - 0 1", "black has 2 kings"},
      {"4k2P/8/8/8/8/8/8/4K3 w - - 0 1", "white pawn on h8"},
      {"4k3/8/8/8/8/8/8/p3K3 w - - 0 1", "black pawn on a1"},
      {"4k3/pppppppp/p7/8/8/8/8/4K3 w - - 0 1", "black has 9 pawns (at most 8)"},
      {"qqqqkqqq/qqqqqqqq/q7/8/8/8/8/4K3 w - - 0 1", "black has 17 pieces (at most 16)"},
      {"3qkq2/2qqqq2/8/8/8/8/pppppp2/4K3 w - - 0 1", "black has 5 promoted pieces but only 2 missing pawns"},
      {"4k3/8/8/8/8/8/8/4K2r b - - 0 1", "white is in check but black is to move"},
      {"4k3/8/8/8/8/8/8/R3K1R1 w K - 0 1", "castling right K without a white rook on h1"},
      {"4k3/8/8/8/8/8/8/R2K3R w Q - 0 1", "castling right Q without the white king on e1"},
      {"r3k2r/8/8/8/8/8/8/4K3 w q - 0 1", ""},  // a right that is there
      {"1r2k3/8/8/8/8/8/8/4K3 w q - 0 1", "castling right q without a black rook on a8"},
      {"4k3/8/8/3pP3/8/8/8/4K3 b - d6 0 1", "en passant square d6 is not on rank 3 with black to move"},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - e6 0 1", "en passant square e6 without a black pawn on e5"},
      {"4k3/3b4/8/3pP3/8/8/8/4K3 w - d6 0 1",
       "en passant square d6 with a piece on the squares the pawn passed"},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", ""},
      {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3 0 1", ""},
  };
  UciHarness s;
  s.Run({"position startpos moves e2e4"});
  const std::string kept = s.Fen();
  for (const auto& [fen, fault] : cases) {
    SCOPED_TRACE(fen);
    const Lines lines = s.Run({std::string("position fen ") + fen});
    if (*fault == '\0') {
      EXPECT_TRUE(lines.empty()) << lines[0];
      s.Run({"position startpos moves e2e4"});
      continue;
    }
    EXPECT_EQ(lines, Lines{std::string("info string error: position refused, no game reaches it: ") + fault});
    EXPECT_EQ(s.Fen(), kept);
  }
}

TEST(Uci, InfoCountsNodesOverTheWholeSearch) {
  UciHarness s;
  const Lines infos = InfoLines(s.Run({"position startpos", "go depth 5"}));
  ASSERT_EQ(infos.size(), 5u);
  long long lastNodes = 0;
  for (const std::string& info : infos) {
    EXPECT_GT(InfoField(info, "nodes"), lastNodes) << info;
    lastNodes = InfoField(info, "nodes");
    EXPECT_GE(InfoField(info, "seldepth"), InfoField(info, "depth")) << info;
    EXPECT_GE(InfoField(info, "time"), 0) << info;
    EXPECT_GE(InfoField(info, "nps"), 0) << info;
  }
  // The engine's own count of the same search.
  EXPECT_EQ(lastNodes, 64358);
}

TEST(Uci, NodeAndMateLimitsEndTheSearch) {
  UciHarness s;
  // Depth 3 of the start takes 1,857 nodes: it is cut short and the move
  // comes from the iterations before, or the part of depth 3 searched.
  Lines lines = s.Run({"position startpos", "go nodes 1000"});
  for (const std::string& info : InfoLines(lines)) EXPECT_LE(InfoField(info, "nodes"), 1000) << info;
  // The closing count: past the limit, each open node makes one more call.
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2].rfind("info nodes ", 0), 0u);
  EXPECT_GT(InfoField(lines[lines.size() - 2], "nodes"), 1000);
  EXPECT_LE(InfoField(lines[lines.size() - 2], "nodes"), 1000 + TChessThread::MaxPly);
  EXPECT_EQ(lines.back().rfind("bestmove d2d4", 0), 0u) << lines.back();

  // Mate in two: 1. Kb6 Kb8 2. Rh8#. The search stops at the iteration
  // that finds it, long before depth 2 × 2 would end it.
  lines = s.Run({"position fen k7/8/2K5/8/8/8/8/7R w - - 0 1", "go mate 2"});
  const Lines infos = InfoLines(lines);
  ASSERT_FALSE(infos.empty());
  EXPECT_NE(infos.back().find(" score mate 2 "), std::string::npos) << infos.back();
  EXPECT_LE(InfoField(infos.back(), "depth"), 4);
  // Not found within its depth: the search still answers.
  lines = s.Run({"go mate 1"});
  EXPECT_LE(InfoLines(lines).size(), 2u);
  EXPECT_EQ(lines.back().rfind("bestmove ", 0), 0u);
  // No mate to look for: named, and the search is the plain one.
  lines = s.Run({"go mate 0"});
  EXPECT_EQ(lines[0], "info string error: go mate needs a number of moves of 1 or more");
  EXPECT_EQ(InfoLines(lines).size(), 4u);
}

TEST(Uci, OptionsAndGoWordsAreReadOrNamed) {
  UciHarness s;
  const Lines uci = s.Run({"uci"});
  EXPECT_NE(std::find(uci.begin(), uci.end(), "option name SearchDepth type spin default 4 min 1 max 64"),
            uci.end());
  EXPECT_NE(
      std::find(uci.begin(), uci.end(), "option name Move Overhead type spin default 30 min 0 max 5000"),
      uci.end());
  EXPECT_TRUE(s.Run({"setoption name Move Overhead value 100", "setoption name move overhead value 0",
                     "setoption name Ponder value true"})
                  .empty());
  for (const char* ignored : {"setoption name Hash value 64", "setoption name Threads value 4"}) {
    const Lines lines = s.Run({ignored});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].find("info string "), 0u);
    EXPECT_EQ(lines[0].find("error"), std::string::npos) << lines[0];
  }
  for (const char* bad : {"setoption name Frobnicate value 1", "setoption name SearchDepth value deep",
                          "setoption name Move Overhead value soon", "setoption value 3"}) {
    const Lines lines = s.Run({bad});
    ASSERT_EQ(lines.size(), 1u) << bad;
    EXPECT_EQ(lines[0].find("info string error: "), 0u) << bad;
  }
  // A plain `go` searches to SearchDepth.
  EXPECT_EQ(InfoLines(s.Run({"setoption name SearchDepth value 2", "position startpos", "go"})).size(), 2u);
  // Words it does not know are named, and the search still answers.
  // (searchmoves is read: both moves are legal, so it names nothing.)
  const Lines lines = s.Run({"go depth x searchmoves e2e4 d2d4 depth 1 frob"});
  EXPECT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "info string error: go depth needs a number, not 'x'");
  EXPECT_EQ(lines[1], "info string error: go: unknown word 'frob'");
  EXPECT_EQ(lines.back().rfind("bestmove ", 0), 0u);
}

TEST(TimeManagement, NeverSpendsMoreThanTheClockHolds) {
  // Over a grid of clocks, increments and moves to go, with the overhead.
  for (std::int64_t time : {0, 10, 50, 100, 1000, 10'000, 600'000})
    for (std::int64_t increment : {0, 100, 2000})
      for (int movesToGo : {0, 1, 2, 40})
        for (int overhead : {0, 30, 200}) {
          GoCommand go;
          go.btime = time, go.binc = increment;
          if (movesToGo) go.movestogo = movesToGo;
          const MoveTime t = AllocateMoveTime(go, false, overhead);
          SCOPED_TRACE(testing::Message()
                       << time << "+" << increment << " / " << movesToGo << " overhead " << overhead);
          ASSERT_TRUE(t.hard && t.target);
          EXPECT_LE(t.target->count(), t.hard->count());
          EXPECT_LE(t.hard->count() + overhead, std::max<std::int64_t>(time, overhead));
          EXPECT_GE(t.target->count(), 0);
        }
  // The clock of the side to move counts; the other side's does not.
  GoCommand go;
  go.wtime = 60'000, go.btime = 1000;
  EXPECT_GT(AllocateMoveTime(go, true, 30).hard, AllocateMoveTime(go, false, 30).hard);
  // An increment is spent; a movetime is used whole but for the overhead.
  GoCommand inc = go;
  inc.winc = 1000;
  EXPECT_GT(AllocateMoveTime(inc, true, 30).target, AllocateMoveTime(go, true, 30).target);
  GoCommand fixed;
  fixed.movetime = 500;
  EXPECT_EQ(AllocateMoveTime(fixed, true, 30).hard, std::chrono::milliseconds(470));
  EXPECT_FALSE(AllocateMoveTime(fixed, true, 30).target);
  EXPECT_FALSE(AllocateMoveTime(GoCommand{}, true, 30).hard);
}

TEST(TimeManagement, HugeTimesMeanNoLimit) {
  constexpr std::int64_t Huge = std::numeric_limits<std::int64_t>::max();
  // As the words arrive: read whole, then no deadline at all.
  std::vector<std::string> errors;
  const GoCommand movetime = ParseGo({"movetime", "9223372036854775807"}, errors);
  ASSERT_TRUE(errors.empty());
  ASSERT_EQ(movetime.movetime, Huge);
  EXPECT_FALSE(AllocateMoveTime(movetime, true, 30).hard);
  EXPECT_FALSE(AllocateMoveTime(movetime, true, 30).target);
  GoCommand clock;
  clock.wtime = Huge, clock.winc = Huge, clock.btime = 60'000, clock.binc = Huge;
  EXPECT_FALSE(AllocateMoveTime(clock, true, 30).hard);
  EXPECT_FALSE(AllocateMoveTime(clock, true, 30).target);
  // The threshold: just below it a time still counts, without overflow.
  GoCommand below;
  below.movetime = NoTimeLimitMs - 1;
  EXPECT_EQ(AllocateMoveTime(below, true, 30).hard, std::chrono::milliseconds(NoTimeLimitMs - 31));
  below.movetime = NoTimeLimitMs;
  EXPECT_FALSE(AllocateMoveTime(below, true, 30).hard);
  // A huge increment on an ordinary clock: still within three quarters of it.
  const MoveTime black = AllocateMoveTime(clock, false, 30);
  ASSERT_TRUE(black.hard && black.target);
  EXPECT_EQ(black.hard->count(), (60'000 - 30) * 3 / 4);
  EXPECT_EQ(black.target, black.hard);
  // A huge movetime with an ordinary clock: the clock holds.
  clock.movetime = Huge;
  EXPECT_EQ(AllocateMoveTime(clock, false, 30).hard, black.hard);
  // And the other way round.
  GoCommand fixed;
  fixed.movetime = 500, fixed.wtime = Huge;
  EXPECT_EQ(AllocateMoveTime(fixed, true, 30).hard, std::chrono::milliseconds(470));
}

TEST(TimeManagement, IterationsAreForeseenAndStoppedAtTheTarget) {
  using us = std::chrono::microseconds;
  using ms = std::chrono::milliseconds;
  // The growth of the last iteration over the one before, kept within 2 to 8.
  EXPECT_EQ(PredictNextIteration(us(50'000), us(10'000)), us(250'000));
  EXPECT_EQ(PredictNextIteration(us(50'000), us(40'000)), us(100'000));
  EXPECT_EQ(PredictNextIteration(us(500'000), us(1'000)), us(4'000'000));
  // Unknown, or too short to time: four times.
  EXPECT_EQ(PredictNextIteration(us(300), std::nullopt), us(1'200));
  EXPECT_EQ(PredictNextIteration(us(900), us(10)), us(3'600));

  // A clock: the target, or the hard limit while the best move has just changed.
  GoCommand go;
  go.wtime = 30'030, go.winc = 0;
  const MoveTime clock = AllocateMoveTime(go, true, 30);
  ASSERT_EQ(clock.target, ms(1000));
  ASSERT_EQ(clock.hard, ms(3000));
  EXPECT_EQ(StopTime(clock, false), ms(1000));
  EXPECT_EQ(StopTime(clock, true), ms(3000));
  // A movetime alone is used whole; no time is no limit.
  GoCommand fixed;
  fixed.movetime = 500;
  EXPECT_EQ(StopTime(AllocateMoveTime(fixed, true, 30), false), ms(470));
  EXPECT_FALSE(StopTime(AllocateMoveTime(GoCommand{}, true, 30), true));
}
