// perch-uci: the commands through a session, perft against stockfish, and
// the program itself driven by polyglot as an xboard engine.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include "ChildProcess.h"
#include "UciSession.h"
#include "chess/engine/BenchSuite.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// Runs commands through one session and returns what it printed.
struct Session {
  std::ostringstream out;
  UciSession session{out};

  Lines Run(const Lines& commands) {
    out.str("");
    for (const std::string& c : commands) session.Handle(c);
    Lines lines;
    std::istringstream stream(out.str());
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
  }
  // The FEN line that ends the output of `d`.
  std::string Fen() { return Run({"d"}).back().substr(5); }
};

std::string FindProgram(const std::string& name) {
  for (const char* dir : {"/usr/games/", "/usr/bin/", "/usr/local/bin/"})
    if (access((dir + name).c_str(), X_OK) == 0) return dir + name;
  return "";
}

// The "<move>: <count>" lines and "Nodes searched: <total>" of a perft, by key.
std::map<std::string, std::string> Divide(const Lines& lines) {
  std::map<std::string, std::string> counts;
  for (const std::string& line : lines)
    if (const auto colon = line.find(": "); colon <= 5 || line.rfind("Nodes searched: ", 0) == 0)
      counts[line.substr(0, colon)] = line.substr(colon + 2);
  return counts;
}

}  // namespace

TEST(Uci, HandshakeAndDisplay) {
  Session s;
  const Lines hello = s.Run({"uci", "isready"});
  ASSERT_GE(hello.size(), 2u);
  EXPECT_EQ(Lines(hello.end() - 2, hello.end()), (Lines{"uciok", "readyok"}));

  EXPECT_EQ(s.Run({"position startpos moves e2e4", "d"}),
            (Lines{"rnbqkbnr", "pppppppp", "........", "........", "....P...", "........", "PPPP.PPP", "RNBQKBNR",
                   "Position: \"rnbqkbnrpppppppp                    P           PPPP PPPRNBQKBNR\"",
                   "WhiteToMove: false", "CurrentMove: 1", "EnPassant: e3", "CastlingAllowed: KQkq",
                   "FEN: rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"}));
  s.Run({"position fen r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1 moves e1g1"});
  EXPECT_EQ(s.Fen(), "r3k2r/8/8/8/8/8/8/R4RK1 b q - 0 1");
}

TEST(Uci, EventLogShowsTheModelsEventsInOrder) {
  Session s;
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
  Session s;
  const std::string position = "position fen 1r5k/P7/8/8/8/8/8/K7 w - - 0 1 moves ";
  const Lines events = s.Run({"setoption name EventLog value true", position + "a7b8n"});
  EXPECT_NE(std::find(events.begin(), events.end(), "info string event OnPromotion a7 b8 n"), events.end());
  EXPECT_EQ(s.Fen(), "1N5k/8/8/8/8/8/8/K7 b - - 0 1");
  s.Run({position + "a7a8"});
  EXPECT_EQ(s.Fen(), "Qr5k/8/8/8/8/8/8/K7 b - - 0 1") << "no letter keeps the promotion piece";
}

TEST(Uci, ErrorsAreNamedAndThePositionStopsBeforeTheBadMove) {
  Session s;
  EXPECT_EQ(s.Run({"position startpos moves e2e4 e7e4 d2d4"}), Lines{"info string error: illegal move 'e7e4'"});
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
  const std::tuple<const char*, const char*, const char*, std::string> cases[] = {
      {"startpos", "go depth 1", "info depth 1 score cp 28 nodes ", "d2d4"},
      {"startpos", "go depth 0", "info depth 1 ", "d2d4"},  // clamped to 1..8
      {"fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "go depth 2", "info depth 2 score mate 1 ", "a1a8"},
      // Mated in one whatever White does.
      {"fen 1r6/8/8/8/8/8/P4k2/7K w - - 0 1", "go depth 2", "info depth 2 score mate -1 ", "a2a4"},
      // Mated already: the root scores -10,000, mate 0, and there is no move.
      {"fen 7k/8/8/8/8/8/5PPP/r5K1 w - - 0 1", "go depth 1", "info depth 1 score mate 0 ", "0000"},
      {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go depth 3", "info depth 3 score cp 0 ", "0000"},
      {"fen 8/P6k/8/8/8/8/8/K7 w - - 0 1", "go depth 1", "info depth 1 ", "a7a8q"},  // with its letter
  };
  Session s;
  for (const auto& [position, go, lastInfo, best] : cases) {
    SCOPED_TRACE(std::string(position) + " " + go);
    const auto lines = s.Run({std::string("position ") + position, go});
    ASSERT_GE(lines.size(), 2u);
    const std::string& info = lines[lines.size() - 2];
    EXPECT_NE(info.find(lastInfo), std::string::npos) << info;
    EXPECT_EQ(lines.back(), "bestmove " + best);
    if (best != "0000") {
      EXPECT_NE(info.find(" pv " + best), std::string::npos) << info;
    }
  }
}

TEST(Uci, UcinewgameClearsTheBestLine) {
  Session s;
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
    Session s;
    EXPECT_EQ(Divide(s.Run(commands)), Divide(theirs)) << fen;
  }
}

TEST(Uci, AnswersAMoveThroughPolyglot) {
  const std::string polyglot = FindProgram("polyglot");
  if (polyglot.empty()) GTEST_SKIP() << "polyglot is not installed";
  const auto dir = std::filesystem::temp_directory_path() / ("perch-uci-polyglot-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "perch.ini") << "[PolyGlot]\nEngineDir = " << dir.string() << "\nEngineCommand = "
                                   << PERCH_UCI_PATH << "\nBook = false\nLog = false\n[Engine]\nSearchDepth = 3\n";
  {
    ChildProcess gui({polyglot, (dir / "perch.ini").string()}, dir.string());
    ASSERT_TRUE(gui.Running());
    for (const char* command : {"xboard", "protover 2"}) gui.Send(command);
    ASSERT_TRUE(gui.ReadUntil("feature done=1", 20s)) << "polyglot did not start perch-uci";
    for (const char* command : {"new", "level 0 1 0", "e2e4"}) gui.Send(command);
    const auto move = gui.ReadUntil("move ", 30s);
    ASSERT_TRUE(move) << "no move from perch-uci through polyglot";
    EXPECT_GE(move->size(), 9u) << *move;
    gui.Send("quit");
  }
  std::filesystem::remove_all(dir);
}
