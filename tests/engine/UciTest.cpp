// perch-uci: the commands through a session, perft against stockfish, and
// the program itself driven by polyglot as an xboard engine.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "ChildProcess.h"
#include "UciSession.h"

namespace {

using namespace std::chrono_literals;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// Runs commands through one session and returns what it printed.
struct Session {
  std::ostringstream out;
  UciSession session{out};

  std::vector<std::string> Run(const std::vector<std::string>& commands) {
    out.str("");
    for (const std::string& c : commands) session.Handle(c);
    return Lines(out.str());
  }
  std::string Field(const std::string& name) {
    for (const std::string& line : Run({"d"}))
      if (line.rfind(name + ": ", 0) == 0) return line.substr(name.size() + 2);
    return "<missing>";
  }
};

std::string FindProgram(const std::string& name) {
  for (const char* dir : {"/usr/games/", "/usr/bin/", "/usr/local/bin/"}) {
    const std::string path = std::string(dir) + name;
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return "";
}

std::map<std::string, std::uint64_t> ParseDivide(const std::vector<std::string>& lines, std::uint64_t& total) {
  std::map<std::string, std::uint64_t> counts;
  total = 0;
  for (const std::string& line : lines) {
    const auto colon = line.find(": ");
    if (colon == std::string::npos) continue;
    const std::string key = line.substr(0, colon);
    const std::uint64_t value = std::stoull(line.substr(colon + 2));
    if (key == "Nodes searched") total = value;
    else if (key.size() == 4 || key.size() == 5) counts[key] = value;
  }
  return counts;
}

}  // namespace

TEST(Uci, HandshakeAndDisplay) {
  Session s;
  auto lines = s.Run({"uci", "isready"});
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "id name Perch");
  EXPECT_EQ(lines[lines.size() - 2], "uciok");
  EXPECT_EQ(lines.back(), "readyok");

  lines = s.Run({"position startpos moves e2e4", "d"});
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[0], "rnbqkbnr");
  EXPECT_EQ(lines[4], "....P...");
  EXPECT_EQ(lines[8], "Position: \"rnbqkbnrpppppppp                    P           PPPP PPPRNBQKBNR\"");
  EXPECT_EQ(lines[9], "WhiteToMove: false");
  EXPECT_EQ(lines[10], "CurrentMove: 1");
  EXPECT_EQ(lines[11], "EnPassant: e3");
  EXPECT_EQ(lines[12], "CastlingAllowed: KQkq");
  EXPECT_EQ(lines[13], "FEN: rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");

  s.Run({"position fen r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1 moves e1g1"});
  EXPECT_EQ(s.Field("CastlingAllowed"), "q");
  EXPECT_EQ(s.Field("FEN"), "r3k2r/8/8/8/8/8/8/R4RK1 b q - 0 1");
}

TEST(Uci, EventLogShowsTheModelsEventsInOrder) {
  Session s;
  auto lines = s.Run({"setoption name EventLog value true", "position startpos moves f2f3 e7e5 g2g4 d8h4"});
  const std::vector<std::string> tail(lines.end() - 4, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"info string event OnLegalMove d8 h4", "info string event OnCheck d8 h4",
                                            "info string event OnMate d8 h4", "info string event OnPaint"}));
  EXPECT_EQ(lines.size(), 3 * 2 + 4u);

  lines = s.Run({"position fen 4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1 moves e5d6"});
  EXPECT_EQ(lines, (std::vector<std::string>{"info string event OnLegalMove e5 d6", "info string event OnCapture e5 d6 p",
                                             "info string event OnPaint"}));

  s.Run({"setoption name EventLog value false"});
  EXPECT_TRUE(s.Run({"position startpos moves e2e4"}).empty());
}

TEST(Uci, PromotionLetterIsWhatThePromotionHandlerHandsBack) {
  Session s;
  s.Run({"position fen 1r5k/P7/8/8/8/8/8/K7 w - - 0 1 moves a7b8n"});
  EXPECT_EQ(s.Field("FEN"), "1N5k/8/8/8/8/8/8/K7 b - - 0 1");
  s.Run({"position fen 1r5k/P7/8/8/8/8/8/K7 w - - 0 1 moves a7a8"});
  EXPECT_EQ(s.Field("FEN"), "Qr5k/8/8/8/8/8/8/K7 b - - 0 1") << "no letter keeps the promotion piece";
  auto lines = s.Run({"setoption name EventLog value true", "position fen 1r5k/P7/8/8/8/8/8/K7 w - - 0 1 moves a7a8r"});
  EXPECT_NE(std::find(lines.begin(), lines.end(), "info string event OnPromotion a7 a8 r"), lines.end());
}

TEST(Uci, ErrorsAreNamedAndThePositionStopsBeforeTheBadMove) {
  Session s;
  auto lines = s.Run({"position startpos moves e2e4 e7e4 d2d4"});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "info string error: illegal move 'e7e4'");
  EXPECT_EQ(s.Field("FEN"), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");

  for (const char* bad : {"position startpos moves e2e4 e7e5q", "position startpos moves e9e4",
                          "position fen 1r5k/P7/8/8/8/8/8/K7 w - - 0 1 moves a7a8k"}) {
    lines = s.Run({bad});
    ASSERT_EQ(lines.size(), 1u) << bad;
    EXPECT_EQ(lines[0].rfind("info string error: illegal move", 0), 0u) << bad;
  }

  s.Run({"position startpos moves g1f3"});
  for (const char* bad : {"position fen rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                          "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1",
                          "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e4 0 1",
                          "position fen 8/8/8 w - -", "position"}) {
    lines = s.Run({bad});
    ASSERT_EQ(lines.size(), 1u) << bad;
    EXPECT_EQ(lines[0].rfind("info string error: ", 0), 0u) << bad;
    EXPECT_EQ(s.Field("FEN"), "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 0 1") << "kept after " << bad;
  }
  EXPECT_EQ(s.Run({"frobnicate"}), (std::vector<std::string>{"info string error: unknown command 'frobnicate'"}));
  EXPECT_TRUE(s.session.Handle("isready"));
  EXPECT_FALSE(s.session.Handle("quit"));
}

TEST(Uci, SearchReportsEachIterationAndTheBestMove) {
  Session s;
  auto lines = s.Run({"position startpos", "go depth 1"});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("info depth 1 score cp 28 nodes ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(" pv d2d4"), std::string::npos);
  EXPECT_EQ(lines[1], "bestmove d2d4");

  // Clamped to 1..8 like the board's SearchDepth.
  lines = s.Run({"ucinewgame", "position startpos", "go depth 0"});
  EXPECT_EQ(lines.size(), 2u);

  lines = s.Run({"position fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "go depth 2"});
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[1].find(" score mate 1 "), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2], "bestmove a1a8");

  // Mated in one whatever White does: the score is reported as mate -1.
  lines = s.Run({"position fen 1r6/8/8/8/8/8/P4k2/7K w - - 0 1", "go depth 2"});
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[1].find(" score mate -1 "), std::string::npos) << lines[1];
  // Mated already: the root scores -10,000, mate 0, and there is no move.
  lines = s.Run({"position fen 7k/8/8/8/8/8/5PPP/r5K1 w - - 0 1", "go depth 1"});
  EXPECT_NE(lines[0].find(" score mate 0 "), std::string::npos) << lines[0];
  EXPECT_EQ(lines.back(), "bestmove 0000");

  lines = s.Run({"position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go depth 3"});
  EXPECT_EQ(lines.back(), "bestmove 0000");

  // A promotion carries its letter.
  lines = s.Run({"position fen 8/P6k/8/8/8/8/8/K7 w - - 0 1", "go depth 1"});
  EXPECT_EQ(lines.back(), "bestmove a7a8q");
}

TEST(Uci, UcinewgameClearsTheBestLine) {
  Session s;
  const auto first = s.Run({"position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", "go depth 3"});
  const auto again = s.Run({"ucinewgame", "position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", "go depth 3"});
  ASSERT_EQ(first.size(), again.size());
  auto nodes = [](const std::string& line) { return line.substr(0, line.find(" nps")); };
  for (size_t i = 0; i + 1 < first.size(); ++i) EXPECT_EQ(nodes(first[i]), nodes(again[i]));
  EXPECT_EQ(first.back(), again.back());
}

TEST(Uci, PerftMatchesStockfishMoveByMove) {
  const std::string stockfish = FindProgram("stockfish");
  if (stockfish.empty()) GTEST_SKIP() << "stockfish is not installed";
  struct Case {
    const char* fen;
    int depth;
  };
  const Case cases[] = {
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 4},
      {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3},
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
  for (const Case& c : cases) {
    peer.Send(std::string("position fen ") + c.fen);
    peer.Send("go perft " + std::to_string(c.depth));
    std::vector<std::string> theirs;
    auto last = peer.ReadUntil("Nodes searched", 60s, &theirs);
    ASSERT_TRUE(last) << c.fen;
    theirs.push_back(*last);

    Session s;
    const auto ours = s.Run({std::string("position fen ") + c.fen, "go perft " + std::to_string(c.depth)});
    std::uint64_t theirTotal = 0, ourTotal = 0;
    const auto theirCounts = ParseDivide(theirs, theirTotal);
    const auto ourCounts = ParseDivide(ours, ourTotal);
    EXPECT_EQ(ourCounts, theirCounts) << c.fen;
    EXPECT_EQ(ourTotal, theirTotal) << c.fen;
    EXPECT_GT(ourTotal, 0u);
  }
}

TEST(Uci, AnswersAMoveThroughPolyglot) {
  const std::string polyglot = FindProgram("polyglot");
  if (polyglot.empty()) GTEST_SKIP() << "polyglot is not installed";
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("perch-uci-polyglot-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  {
    std::ofstream ini(dir / "perch.ini");
    ini << "[PolyGlot]\n"
        << "EngineDir = " << dir.string() << "\n"
        << "EngineCommand = " << PERCH_UCI_PATH << "\n"
        << "Book = false\n"
        << "Log = false\n"
        << "[Engine]\n"
        << "SearchDepth = 3\n";
  }
  {
    ChildProcess gui({polyglot, (dir / "perch.ini").string()}, dir.string());
    ASSERT_TRUE(gui.Running());
    gui.Send("xboard");
    gui.Send("protover 2");
    ASSERT_TRUE(gui.ReadUntil("feature done=1", 20s)) << "polyglot did not start perch-uci";
    gui.Send("new");
    gui.Send("level 0 1 0");
    gui.Send("e2e4");
    const auto move = gui.ReadUntil("move ", 30s);
    ASSERT_TRUE(move) << "no move from perch-uci through polyglot";
    EXPECT_EQ(move->size() >= 9u, true) << *move;
    gui.Send("quit");
  }
  std::filesystem::remove_all(dir);
}
