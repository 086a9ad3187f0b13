// PGN of games: the notation of each kind of move, the tags, numbering and
// line length, and whole games read back by pgn-extract, an independent
// PGN reader.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chess/model/Pgn.h"
#include "tests/chess/model/ModelTestSupport.h"

namespace {

// A game set up from pieces, with the side to move, rights and en passant
// square given.
void SetUpGame(TChessGame& game, const std::string& pieces, bool whiteToMove,
               CastleSet rights = CastleSet()) {
  game.setPosition(pieces == "init" ? "init" : Board(pieces));
  game.setWhiteToMove(whiteToMove);
  game.setCastlingAllowed(rights);
}

TEST(Pgn, NotationOfEachKindOfMove) {
  struct Case {
    const char* pieces;
    bool white;
    const char* before;  // moves played first
    const char* move;
    const char* san;
    char promotion = 'q';
  };
  const Case cases[] = {
      {"init", true, "", "g1f3", "Nf3"},
      {"init", true, "e2e4 d7d5", "e4d5", "exd5"},
      {"init", true, "e2e4 a7a6 e4e5 d7d5", "e5d6", "exd6"},
      {"init", true, "e2e4 e7e5 g1f3 b8c6 f1c4 g8f6", "e1g1", "O-O"},
      {"init", true, "d2d4 d7d5 b1c3 b8c6 c1f4 c8f5 d1d2 d8d7", "e1c1", "O-O-O"},
      {"init", true, "f2f3 e7e5 g2g4", "d8h4", "Qh4#"},
      {"init", true, "e2e4 f7f6", "d1h5", "Qh5+"},
      // Two knights reach d2: the file tells them apart.
      {"ke8 Ke1 Nb1 Nf3", true, "", "b1d2", "Nbd2"},
      // Two rooks on one file: the rank.
      {"ke8 Kh2 Ra1 Ra5", true, "", "a1a3", "R1a3"},
      // Three queens: neither file nor rank alone.
      {"kb8 Ka2 Qe4 Qh4 Qh1", true, "", "h4e1", "Qh4e1"},
      // A pinned knight cannot go there: nothing to tell apart.
      {"kh8 Ke1 re8 Nc3 Ne3", true, "", "c3d5", "Nd5"},
      {"kh8 Ke1 Nc3 Ne3", true, "", "c3d5", "Ncd5"},
      {"kh8 Ka1 rc8 Pb7", true, "", "b7c8", "bxc8=Q+", 'q'},
      {"kh8 Ka1 Pb7", true, "", "b7b8", "b8=N", 'n'},
      {"kh8 Ka1 Pb7", true, "", "b7b8", "b8=R+", 'R'},
      {"ka1 Kh3 pg2", false, "", "g2g1", "g1=B", 'b'},
      {"kh8 Kf7 Qe1", true, "", "e1h1", "Qh1#"},
      {"kh8 Kf6 Qe1", true, "", "e1h1", "Qh1+"},
      {"kh8 Kf7 Qe1", true, "", "e1g3", "Qg3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pieces) + " / " + c.before + " / " + c.move);
    TChessGame game;
    SetUpGame(game, c.pieces, c.white, std::string(c.pieces) == "init" ? CastleSet::All() : CastleSet());
    ASSERT_TRUE(Play(game, c.before));
    const std::string before = game.Position();
    EXPECT_EQ(MoveSan(game, MoveOf(c.move).first, MoveOf(c.move).second, c.promotion), c.san);
    EXPECT_EQ(game.Position(), before) << "the game is left as it is";
  }
  TChessGame game;
  EXPECT_EQ(MoveSan(game, Square::E2, Square::E5), "");
}

TEST(Pgn, TagsNumbersLinesAndResult) {
  TChessGame game;
  // A long game of knights going round, with no repetition of three.
  ASSERT_TRUE(Play(game,
                   "e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1 f8c5 d2d3 d7d6 c1g5 h7h6 g5f6 d8f6 b1c3 c8g4 "
                   "c3d5 f6d8 c2c3 e8g8 d3d4 e5d4 c3d4 c5b6 d1d3 g4f3 g2f3 c6d4 d5b6 a7b6 f3f4"));
  TPgnTags tags;
  tags.event = "Casual \"game\"";
  tags.date = "2026.12.10";
  tags.white = "Ann";
  tags.black = "Perch";
  const std::string pgn = GamePgn(game, tags, "1/2-1/2");
  EXPECT_EQ(pgn.substr(0, pgn.find("\n\n")),
            "[Event \"Casual \\\"game\\\"\"]\n[Site \"?\"]\n[Date \"2026.12.10\"]\n[Round \"?\"]\n"
            "[White \"Ann\"]\n[Black \"Perch\"]\n[Result \"1/2-1/2\"]");
  const std::string moves = pgn.substr(pgn.find("\n\n") + 2);
  EXPECT_EQ(moves.substr(0, 40), "1. e4 e5 2. Nf3 Nc6 3. Bc4 Nf6 4. O-O Bc");
  EXPECT_NE(moves.find(" 11. d4 exd4 12. cxd4 Bb6 "), std::string::npos);
  EXPECT_NE(moves.find(" 16. f4 1/2-1/2\n"), std::string::npos);
  std::istringstream lines(pgn);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_LT(line.size(), 80u) << line;
    if (!line.empty()) {
      EXPECT_NE(line.back(), ' ') << line;
      EXPECT_NE(line.back(), '.') << "a move number apart from its move: " << line;
    }
  }
  EXPECT_GE(count, 10);

  // An unknown result is "*", empty tags are unknown.
  TChessGame empty;
  EXPECT_EQ(GamePgn(empty, {}, "win"),
            "[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"?\"]\n[White \"?\"]\n"
            "[Black \"?\"]\n[Result \"*\"]\n\n*\n");
}

TEST(Pgn, AGameFromASetUpPositionCarriesItsFen) {
  TChessGame game;
  SetUpGame(game, "ke8 ra8 Ke1 Ra1 pd4 Pe2 Pb7", false, CastleSet(0x0A));
  ASSERT_TRUE(Play(game, "a8a7 e2e4 d4e3 e1c1"));
  const std::string pgn = GamePgn(game, {}, "*");
  EXPECT_NE(pgn.find("[SetUp \"1\"]\n[FEN \"r3k3/1P6/8/8/3p4/8/4P3/R3K3 b Qq - 0 1\"]\n"), std::string::npos)
      << pgn;
  EXPECT_NE(pgn.find("\n1... Ra7 2. e4 dxe3 3. O-O-O *\n"), std::string::npos) << pgn;
}

// --- read back by pgn-extract ---------------------------------------------------------

std::string FindProgram(const std::string& name) {
  std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  path += ":/usr/games";
  std::istringstream dirs(path);
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::string candidate = dir + "/" + name;
    if (!dir.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

// The moves pgn-extract reads from the text, in coordinate notation.
std::string ReadBack(const std::string& program, const std::string& pgn) {
  char name[] = "/tmp/perch-pgn-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) return "cannot write a file";
  close(fd);
  std::ofstream(name) << pgn;
  const std::string command = program + " -Wuci --notags --noresults -w 10000 " + name + " 2>/dev/null";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  unlink(name);
  std::istringstream words(out);
  std::string moves;
  // It writes the piece a pawn becomes in capitals.
  for (std::string w; words >> w;) {
    for (char& c : w) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    moves += (moves.empty() ? "" : " ") + w;
  }
  return moves;
}

TEST(PgnExtract, ReadsBackTheSameMoves) {
  const std::string program = FindProgram("pgn-extract");
  if (program.empty()) GTEST_SKIP() << "pgn-extract is not installed";
  struct Game {
    const char* name;
    const char* pieces;  // "init", or pieces with Black to move when blackFirst
    bool blackFirst;
    CastleSet rights;
    Square enPassant;
    const char* moves;  // with the piece a pawn becomes, as pgn-extract writes them
    char promotion;
  };
  const Game games[] = {
      // Castling both ways, en passant, a promotion to a queen on a capture.
      {"from the start", "init", false, CastleSet::All(), Square::None,
       "e2e4 d7d5 e4e5 f7f5 e5f6 g8f6 g1f3 c8g4 f1e2 b8c6 e1g1 d8d6 d2d4 e8c8 c2c4 d5c4 "
       "b1c3 e7e5 d4e5 d6d1 f1d1 d8d1 e2d1 c6e5 f3e5 g4d1 c3d1 f8c5 g1h1 h8e8 c1e3 c5e3 "
       "d1e3 c4c3 e5f3 c3b2 f3d4 b2a1q e3f1 e8e1",
       'q'},
      // White takes en passant, both castle, Black promotes on a capture.
      {"a middle game", "ra8 ke8 rh8 pa7 pb7 pf7 pg7 ph7 pc5 Pd5 Pa2 pb2 Pc2 Pf2 Pg2 Ph2 Ra1 Ke1 Rh1", false,
       CastleSet::All(), Square::C6, "d5c6 e8c8 e1g1 b2a1q f1a1 d8d2 c6b7 c8b7 a1b1 b7a6", 'q'},
      // Black takes en passant, White castles long, both promote to knights.
      {"an ending", "ra8 ke8 Pb7 pd4 Pe2 pg2 Ra1 Ke1", true, CastleSet(0x0A), Square::None,
       "a8a7 e2e4 d4e3 e1c1 g2g1n b7b8n a7a8 d1d7", 'n'},
  };
  for (const Game& g : games) {
    SCOPED_TRACE(g.name);
    TChessGame game;
    SetUpGame(game, g.pieces, !g.blackFirst, g.rights);
    if (g.enPassant != Square::None) game.setEnPassant(g.enPassant);
    game.OnPromotion = [&g](TChessGame*, Square, Square, char& piece) { piece = g.promotion; };
    ASSERT_TRUE(Play(game, g.moves));
    const std::string pgn = GamePgn(game, {}, "*");
    EXPECT_EQ(ReadBack(program, pgn), g.moves) << pgn;
  }
}

}  // namespace
