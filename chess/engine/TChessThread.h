#pragma once
// The computer player: its own board (TEnginePosition), move generation,
// evaluation and alpha-beta search (TSearchState holds what the search
// keeps), all held in fixed-size arrays inside this one object so that
// nothing is allocated while it generates, makes moves or searches.
//
// The engine reads its position from a linked game (the board control derives
// from TChessGame, so the same link serves the real board) and its depth from
// a linked SearchDepth (or the plain setter, for tests and tools).
//
// How a thread body drives it:
//     engine.StopSearch = false;            // by the board, before release
//     engine.IsThinking = true;
//     engine.SearchBestMove();              // runs on the calling thread
//     if (!engine.StopSearch) { hand engine.BestLine(0)[0] to MakeMove as
//                               (from + 1, to + 1) }
// StopSearch may be set from another thread at any time; the search then
// returns within a node. The board ignores a stopped search's results; a
// tool that wants its move finds in BestLine(0) the line of the root moves
// searched to the end (see SearchBestMove). With no legal move at the root
// the best line keeps its older move, which MakeMove refuses.
//
// The state is private; the thread body, the board, the tools and the tests
// read it through accessors of the names the rest of the system uses. Only
// the hand-shake flags and the iteration callback are open fields.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <random>

#include "chess/engine/EngineMove.h"
#include "chess/engine/EnginePosition.h"
#include "chess/engine/EngineTables.h"
#include "chess/engine/SearchState.h"

namespace perch {

class TChessGame;

class TChessThread {
 public:
  static constexpr int MaxPly = TEnginePosition::MaxPly;
  static constexpr int RootWindow = 10000;
  static constexpr int MinSearchDepth = 1;
  // The board offers depths up to 8; tools may go as deep as the tables.
  static constexpr int MaxSearchDepth = MaxPly;
  static_assert(TSearchState::MaxPly == MaxPly, "the search's tables cover every ply of the board");

  TChessThread();
  TChessThread(const TChessThread&) = delete;
  TChessThread& operator=(const TChessThread&) = delete;

  // --- links ----------------------------------------------------------------
  // The game whose Board, WhiteToMove, CastlingAllowed and EnPassant
  // LoadPosition reads in place. With no game linked, LoadPosition loads an
  // empty board.
  void LinkGame(const TChessGame* game) { linkedGame_ = game; }
  // The board's SearchDepth, read once per search.
  void LinkSearchDepth(const std::atomic<int>* depth) { linkedSearchDepth_ = depth; }
  // For tests and tools: a depth of the engine's own (clamped to 1..64), which
  // also becomes the linked depth.
  void setSearchDepth(int depth);

  // --- board, generation, making moves ---------------------------------------
  void LoadPosition();
  void GenerateMoves();
  void GenerateCaptures();
  bool DoMove(TEngineMove move) { return position_.DoMove(move); }
  void UndoMove() { position_.UndoMove(); }
  bool SquareAttacked(int square, int bySide) const { return position_.SquareAttacked(square, bySide); }
  bool KingAttacked(int side) const { return position_.KingAttacked(side); }

  // The board (see TEnginePosition).
  int SquareSide(int square) const { return position_.SquareSide(square); }
  int SquarePiece(int square) const { return position_.SquarePiece(square); }
  int SideToMove() const { return position_.SideToMove(); }
  int OtherSide() const { return position_.OtherSide(); }
  int CastleRights() const { return position_.CastleRights(); }
  int EpSquare() const { return position_.EpSquare(); }
  int Ply() const { return position_.Ply(); }
  std::uint64_t PieceBits(int side, int piece) const { return position_.PieceBits(side, piece); }
  std::uint64_t SideBits(int side) const { return position_.SideBits(side); }
  int PsqScore(int side) const { return position_.PsqScore(side); }

  // The generated moves (see TSearchState).
  const TMoveEntry& MoveList(int i) const { return search_.MoveList(i); }
  int PlyFirst(int ply) const { return search_.PlyFirst(ply); }
  int PlyEnd(int ply) const { return search_.PlyEnd(ply); }

  // The board's geometry (see TEngineTables).
  static int Mailbox(int index) { return engine::Tables.Mailbox(index); }
  static int MailboxIndex(int square) { return engine::Tables.MailboxIndex(square); }
  static bool Slides(int piece) { return engine::Tables.Slides(piece); }
  static int DirectionCount(int piece) { return engine::Tables.DirectionCount(piece); }
  static int Directions(int piece, int d) { return engine::Tables.Directions(piece, d); }

  // --- evaluation --------------------------------------------------------------
  void BuildPieceSquareTables() { position_.BuildPieceSquareTables(); }
  int Evaluate() const { return position_.Evaluate(); }
  int PieceSquare(int side, int piece, int square) const {
    return position_.PieceSquare(side, piece, square);
  }

  // --- search ------------------------------------------------------------------
  // Iterative deepening to the linked depth. Afterwards BestLine(0)[0 ..
  // BestLineLength(0)) is the line of the best root move searched to its end
  // in the last iteration that began. It is empty when that iteration scored
  // no root move (no legal move, or stopped before its first root move had
  // its score; OnIteration saw the line of every completed iteration), and
  // BestLine(0)[0] may then be an older move.
  void SearchBestMove();
  int SearchNode(int alpha, int beta, int depth);
  int CaptureSearch(int alpha, int beta);

  // The best line found from a ply: entries ply .. BestLineLength(ply) - 1.
  const TEngineMove* BestLine(int ply) const { return search_.BestLine(ply); }
  int BestLineLength(int ply) const { return search_.BestLineLength(ply); }
  std::int32_t HistoryScore(int from, int to) const { return search_.HistoryScore(from, to); }
  // Calls of SearchNode and CaptureSearch since the search began.
  std::uint64_t Nodes() const { return search_.Nodes(); }
  // The deepest ply any node of the current iteration reached (the
  // selective depth, capture search and check extensions included).
  std::int32_t SelDepth() const { return search_.SelDepth(); }

  // Makes the engine as newly created: best line and history scores cleared.
  void ClearSearchMemory() { search_.Clear(); }

  // --- tools -------------------------------------------------------------------
  // The number of move sequences of the given length that DoMove accepts from
  // the current position, every leaf made and taken back. PerftOverflow() is
  // true when the tables had no room for a line (only absurd positions).
  std::uint64_t Perft(int depth);
  // The same per legal root move, in generation order; returns the total.
  std::uint64_t PerftDivide(int depth, const std::function<void(TEngineMove, std::uint64_t)>& report);
  bool PerftOverflow() const { return perftOverflow_; }
  // Both stop when StopSearch is set (the caller clears it before), and then
  // PerftStopped() is true: Perft returns the part counted, PerftDivide the
  // total of the root moves reported, which excludes the one cut short.
  bool PerftStopped() const { return perftStopped_; }
  // The first move of the current position that DoMove accepts, in
  // generation order; false when there is none. Leaves the position as it is.
  bool FirstLegalMove(TEngineMove& move);
  bool IsLegalMove(TEngineMove move);

  // A position no game can reach (a side with no king or several, more than
  // 16 pieces or 8 pawns, a pawn on the first or last rank, more promoted
  // pieces than missing pawns) may hold so many
  // checks and captures that a search would not end in any useful time;
  // for such a root the search gives up after this many nodes, as if
  // stopped. Positions a game can reach have no limit.
  std::uint64_t OddPositionNodeBudget() const { return oddPositionNodeBudget_; }
  void setOddPositionNodeBudget(std::uint64_t nodes) { oddPositionNodeBudget_ = nodes; }
  static bool IsOrdinaryPosition(const TChessThread& engine);
  // True when the last search gave up on its node budget (or SearchNodeLimit).
  bool BudgetExhausted() const { return budgetExhausted_; }
  // A node limit for every search, as a tool asks for one; the search stops
  // as if asked to once it has made this many calls.
  std::uint64_t SearchNodeLimit() const { return searchNodeLimit_; }
  void setSearchNodeLimit(std::uint64_t nodes) { searchNodeLimit_ = nodes; }

  // Varied play, off by default: the search then ends with a choice at
  // random among the root moves that score within VaryMargin of the best,
  // each searched to the full depth against that bound (on the benchmark
  // suite at depth 5, a third more nodes). Read once per search; any thread
  // may set it. Off, the search is exactly as without it.
  static constexpr int VaryMargin = 20;
  void setVaryMoves(bool on) { varyMoves_.store(on, std::memory_order_relaxed); }
  bool VaryMoves() const { return varyMoves_.load(std::memory_order_relaxed); }
  // The choice's random numbers start from this seed at the next varied
  // search (else from a seed of the system's).
  void setVarySeed(std::uint64_t seed) {
    varySeed_.store(seed, std::memory_order_relaxed);
    reseed_.store(true, std::memory_order_release);
  }
  // --- root options, for tools (the board sets none) ------------------------------
  static constexpr int MaxRootMoves = 256;
  static constexpr int MaxMultiPv = 32;
  // Only these root moves are searched (the first count of them, at most
  // MaxRootMoves); a count of 0 searches every move. The moves must be legal
  // in the position searched.
  void setRootMoves(const TEngineMove* moves, int count);
  int RootMoveCount() const { return rootMoveCount_; }
  // The number of root moves each iteration scores exactly, best first
  // (clamped to 1..MaxMultiPv); the others are known only to score lower.
  void setMultiPv(int lines) { multiPv_ = std::clamp(lines, 1, MaxMultiPv); }
  int MultiPv() const { return multiPv_; }
  // A root move with its score and the line it leads to (line[0] is the move).
  struct TRootLine {
    int score = 0;
    int length = 0;
    TEngineMove line[MaxPly] = {};
  };
  // The lines the iteration under way has scored, best first: in OnIteration,
  // those of the iteration just completed. Kept only when root moves are
  // chosen or MultiPv() is above 1; otherwise there are none.
  int RootLineCount() const { return rootLineCount_; }
  const TRootLine& RootLine(int k) const { return rootLines_[k]; }
  // The legal moves of the loaded position in generation order, at most
  // `capacity` of them; returns their number.
  int LegalMoves(TEngineMove* moves, int capacity);

  // Called after every completed iteration of SearchBestMove with its depth,
  // the score the root search returned and the nodes (calls of SearchNode
  // and CaptureSearch) of that iteration. Set it before the search.
  std::function<void(int depth, int score, std::uint64_t nodes)> OnIteration;

  // Thread hand-shake: set by the thread body and read by the board, and a
  // stop request that any thread may set.
  std::atomic<bool> IsThinking{false};
  std::atomic<bool> StopSearch{false};

 private:
  void AddMove(int from, int to, int flags);
  void AddPromotions(int from, int to, int flags);
  void MarkPvMove() { search_.MarkPvMove(position_.Ply()); }
  void SelectNextMove(int i) { search_.SelectNextMove(position_.Ply(), i); }
  bool RoomForNode() const { return search_.RoomForNode(position_.Ply()); }
  bool Interrupted() const { return StopSearch.load(std::memory_order_relaxed) || search_.PastNodeLimit(); }
  void StartAtRoot();
  // Varied play's choice at the root, after the search scored `best` at the
  // given depth; makes the chosen move the root line.
  void ChooseVariedRootMove(int depth, int best);
  // The root of an iteration when root options are set: the chosen moves
  // only, and the best MultiPv() of them scored exactly.
  int SearchRoot(int depth);
  bool RootMoveAllowed(TEngineMove move) const;
  void KeepRootLine(TEngineMove move, int score);
  std::uint64_t PerftNode(int depth);

  template <bool CapturesOnly>
  friend struct TMoveGenerator;

  TEnginePosition position_;
  TSearchState search_;

  bool perftOverflow_ = false;
  bool perftStopped_ = false;
  std::uint64_t oddPositionNodeBudget_ = 5'000'000;
  bool budgetExhausted_ = false;
  std::uint64_t searchNodeLimit_ = ~std::uint64_t{0};

  std::atomic<bool> varyMoves_{false};
  std::atomic<std::uint64_t> varySeed_{0};
  std::atomic<bool> reseed_{false};
  std::mt19937_64 varyRandom_;  // the searching thread's only
  TEngineMove rootMoves_[MaxRootMoves] = {};
  int rootMoveCount_ = 0;
  int multiPv_ = 1;
  TRootLine rootLines_[MaxMultiPv + 1] = {};
  int rootLineCount_ = 0;

  const TChessGame* linkedGame_ = nullptr;
  const std::atomic<int>* linkedSearchDepth_ = nullptr;
  std::atomic<int> ownSearchDepth_{1};
};

}  // namespace perch
