// Differential test: over seeded random games, the moves the game model
// accepts at every position equal the legal moves an independent chess
// program lists (stockfish's "go perft 1"), except where this model's rules
// deliberately differ from standard chess:
//
//  - Repetition: once a board has stood three times (compared as board
//    alone, at turns of either side), the model refuses every move. Games
//    stop at that point.
//  - Castling rights are only taken away by a move that leaves the king's or
//    rook's square; a capture on the rook's corner keeps the right, and any
//    rook of the side that later stands there may castle. Such castlings
//    are accepted by the model alone and are counted, not compared.
//
// En passant captures by a pawn pinned along its rank are refused by the
// model as by standard chess, so they need no exception.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/chess/model/ModelTestSupport.h"

namespace {

constexpr const char* StockfishPath = "/usr/games/stockfish";
// Sanitizer builds run many times slower; fewer games keep CI bounded.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int Games = 40;
#else
constexpr int Games = 300;
#endif
constexpr int MaxPlies = 140;

// A stockfish process spoken to over pipes.
class Stockfish {
 public:
  bool Start() {
    if (access(StockfishPath, X_OK) != 0) return false;
    // A peer that dies must fail the test, not kill it with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) return false;
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      dup2(toChild[0], 0);
      dup2(fromChild[1], 1);
      close(toChild[1]);
      close(fromChild[0]);
      execl(StockfishPath, StockfishPath, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    in_ = fdopen(toChild[1], "w");
    out_ = fdopen(fromChild[0], "r");
    Send("uci");
    for (std::string line; ReadLine(line);)
      if (line == "uciok") return true;
    return false;
  }

  ~Stockfish() {
    if (in_) {
      Send("quit");
      fclose(in_);
    }
    if (out_) fclose(out_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }

  // The legal moves after the moves played from the starting position, as
  // origin and target (promotions to different pieces count once).
  std::set<std::string> LegalMoves(const std::vector<std::string>& played) {
    std::string command = "position startpos moves";
    for (const auto& m : played) command += " " + m;
    Send(command);
    Send("go perft 1");
    std::set<std::string> moves;
    std::string line;
    while (ReadLine(line)) {
      if (line.rfind("Nodes searched", 0) == 0) return moves;
      const auto colon = line.find(':');
      if (colon == 4 || colon == 5) moves.insert(line.substr(0, 4));
    }
    ADD_FAILURE() << "stockfish stopped answering";
    return moves;
  }

 private:
  void Send(const std::string& line) {
    std::fputs((line + "\n").c_str(), in_);
    std::fflush(in_);
  }
  bool ReadLine(std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(out_)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    return c != EOF || !line.empty();
  }

  pid_t pid_ = -1;
  FILE* in_ = nullptr;
  FILE* out_ = nullptr;
};

std::set<std::string> ModelMoves(const TChessGame& game) {
  std::set<std::string> moves;
  const int mover = game.WhiteToMove() ? 1 : 0;
  for (int f = 1; f <= 64; ++f) {
    const Square from = SquareFromIndex(f);
    if (game.SideOf(from) != mover) continue;
    for (int t = 1; t <= 64; ++t)
      if (game.IsLegalMove(from, SquareFromIndex(t))) moves.insert(NameOf(from) + NameOf(SquareFromIndex(t)));
  }
  return moves;
}

// Rights as standard chess keeps them: also lost when the rook's corner is
// captured on.
void TakeStandardRights(CastleSet& rights, Square sq) {
  if (sq == Square::E1 || sq == Square::H1) rights.Exclude(CanStillCastle::WhiteKingSide);
  if (sq == Square::E1 || sq == Square::A1) rights.Exclude(CanStillCastle::WhiteQueenSide);
  if (sq == Square::E8 || sq == Square::H8) rights.Exclude(CanStillCastle::BlackKingSide);
  if (sq == Square::E8 || sq == Square::A8) rights.Exclude(CanStillCastle::BlackQueenSide);
}

// A castling the model allows because a capture on the corner kept its right.
bool CastlingOnAKeptRight(const std::string& move, const TChessGame& game, CastleSet standard) {
  const char* wings[] = {"e1g1", "e1c1", "e8g8", "e8c8"};  // in the order of CanStillCastle
  for (int w = 0; w < 4; ++w) {
    const auto right = static_cast<CanStillCastle>(w);
    if (move == wings[w]) return game.CastlingAllowed().Contains(right) && !standard.Contains(right);
  }
  return false;
}

struct Coverage {
  int positions = 0, captures = 0, castlings = 0, enPassants = 0, promotions = 0;
  int mates = 0, repetitions = 0, keptRightCastlings = 0;
};

TEST(StockfishDifferential, RandomGamesAgreeOnEveryLegalMove) {
  Stockfish stockfish;
  if (!stockfish.Start()) GTEST_SKIP() << StockfishPath << " is not available";

  Coverage seen;
  for (int seed = 1; seed <= Games; ++seed) {
    std::mt19937 rng(seed);
    TChessGame game;
    char promoteTo = 'q';
    game.OnPromotion = [&](TChessGame*, Square, Square, char& piece) { piece = promoteTo; };
    game.OnMate = [&](TChessGame*, Square, Square) { ++seen.mates; };
    std::vector<std::string> played;
    CastleSet standardRights = CastleSet::All();

    for (int ply = 0; ply < MaxPlies; ++ply) {
      if (game.IsThreefold()) {
        ++seen.repetitions;
        break;
      }
      std::set<std::string> ours = ModelMoves(game);
      const std::set<std::string> theirs = stockfish.LegalMoves(played);
      for (auto it = ours.begin(); it != ours.end();) {
        if (!theirs.count(*it) && CastlingOnAKeptRight(*it, game, standardRights)) {
          ++seen.keptRightCastlings;
          it = ours.erase(it);
        } else {
          ++it;
        }
      }
      ++seen.positions;
      std::string line;
      for (const auto& m : played) line += m + " ";
      ASSERT_EQ(ours, theirs) << "seed " << seed << " after: " << line;
      if (ours.empty()) break;

      // Prefer moves that exercise the rarer rules now and then.
      std::vector<std::string> candidates(ours.begin(), ours.end());
      std::vector<std::string> special;
      for (const auto& m : candidates) {
        const Square from = Sq(m.substr(0, 2)), to = Sq(m.substr(2, 2));
        const char piece = game.PieceAt(from);
        const bool pawn = piece == 'P' || piece == 'p';
        if (game.PieceAt(to) != ' ' || (pawn && (to == game.EnPassant() || RankOf(to) % 7 == 1)) ||
            ((piece == 'K' || piece == 'k') && std::abs(FileOf(from) - FileOf(to)) == 2))
          special.push_back(m);
      }
      const auto& pool = (!special.empty() && rng() % 2 == 0) ? special : candidates;
      const std::string move = pool[rng() % pool.size()];
      const Square from = Sq(move.substr(0, 2)), to = Sq(move.substr(2, 2));
      const char piece = game.PieceAt(from);
      const bool pawn = piece == 'P' || piece == 'p';
      std::string uci = move;
      if (pawn && (RankOf(to) == 8 || RankOf(to) == 1)) {
        promoteTo = "qrbn"[rng() % 4];
        uci += promoteTo;
        ++seen.promotions;
      }
      if (game.PieceAt(to) != ' ') ++seen.captures;
      if (pawn && to == game.EnPassant() && FileOf(from) != FileOf(to)) ++seen.enPassants;
      if ((piece == 'K' || piece == 'k') && std::abs(FileOf(from) - FileOf(to)) == 2) ++seen.castlings;

      TakeStandardRights(standardRights, from);
      TakeStandardRights(standardRights, to);
      ASSERT_TRUE(game.MakeMove(from, to)) << move;
      played.push_back(uci);
    }
  }
  std::printf(
      "positions %d, captures %d, castlings %d, en passant %d, promotions %d, mates %d, "
      "repetitions %d, castlings on kept rights %d\n",
      seen.positions, seen.captures, seen.castlings, seen.enPassants, seen.promotions, seen.mates,
      seen.repetitions, seen.keptRightCastlings);
  EXPECT_GT(seen.castlings, 0);
  EXPECT_GT(seen.enPassants, 0);
  EXPECT_GT(seen.promotions, 0);
}

}  // namespace
