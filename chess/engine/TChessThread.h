#pragma once
// The computer player: its own board, move generation, evaluation and
// alpha-beta search, all held in fixed-size arrays inside this one object so
// that nothing is allocated while it generates, makes moves or searches.
//
// The engine reads its position from a linked game (the board control derives
// from TChessGame, so the same link serves the real board) and its depth from
// a linked SearchDepth (or the plain setter, for tests and tools).
//
// How a thread body drives it:
//     engine.StopSearch = false;            // by the board, before release
//     engine.IsThinking = true;
//     engine.SearchBestMove();              // runs on the calling thread
//     if (!engine.StopSearch) { hand engine.BestLine[0][0] to MakeMove as
//                               (from + 1, to + 1) }
// StopSearch may be set from another thread at any time; the search then
// returns within a node. The board ignores a stopped search's results; a
// tool that wants its move finds in BestLine[0] the line of the root moves
// searched to the end (see SearchBestMove). With no legal move at the root
// the best line keeps its older move, which MakeMove refuses.
//
// The fields are public: the thread body, the board and the tests reach
// them by the names the rest of the system uses.

#include <atomic>
#include <cstdint>
#include <functional>

#include "EngineMove.h"

class TChessGame;

class TChessThread {
 public:
  static constexpr int MaxPly = 64;
  static constexpr int MoveListSize = 4096;
  // No position yields more pseudo-legal moves than this: at most 64 pieces
  // of at most 27 moves each (a queen), plus two castlings and two en
  // passant captures. A node that has less room left in MoveList is scored
  // as a leaf.
  static constexpr int MaxMovesPerPosition = 64 * 27 + 4;
  static constexpr int RootWindow = 10000;
  static constexpr int MinSearchDepth = 1;
  // The board offers depths up to 8; tools may go as deep as the tables.
  static constexpr int MaxSearchDepth = MaxPly;

  TChessThread();
  TChessThread(const TChessThread&) = delete;
  TChessThread& operator=(const TChessThread&) = delete;

  // --- links ----------------------------------------------------------------
  // The game whose Board, WhiteToMove, CastlingAllowed and EnPassant
  // LoadPosition reads in place. With no game linked, LoadPosition loads an
  // empty board.
  void LinkGame(const TChessGame* game) { LinkedGame = game; }
  // The board's SearchDepth, read once per search.
  void LinkSearchDepth(const std::atomic<int>* depth) { LinkedSearchDepth = depth; }
  // For tests and tools: a depth of the engine's own (clamped to 1..64), which
  // also becomes the linked depth.
  void setSearchDepth(int depth);

  // --- board, generation, making moves ---------------------------------------
  void InitEngineTables();
  void LoadPosition();
  void GenerateMoves();
  void GenerateCaptures();
  void AddMove(int from, int to, int flags);
  void AddPromotions(int from, int to, int flags);
  bool DoMove(TEngineMove move);
  void UndoMove();
  bool SquareAttacked(int square, int bySide) const;
  bool KingAttacked(int side) const;

  // --- evaluation --------------------------------------------------------------
  void BuildPieceSquareTables();
  int Evaluate() const;

  // --- search ------------------------------------------------------------------
  // Iterative deepening to the linked depth. Afterwards BestLine[0][0 ..
  // BestLineLength[0]) is the line of the best root move searched to its end
  // in the last iteration that began. It is empty when that iteration scored
  // no root move (no legal move, or stopped before its first root move had
  // its score; OnIteration saw the line of every completed iteration), and
  // BestLine[0][0] may then be an older move.
  void SearchBestMove();
  int SearchNode(int alpha, int beta, int depth);
  int CaptureSearch(int alpha, int beta);
  void MarkPvMove();
  void SelectNextMove(int i);

  // Makes the engine as newly created: best line and history scores cleared.
  void ClearSearchMemory();

  // --- tools -------------------------------------------------------------------
  // The number of move sequences of the given length that DoMove accepts from
  // the current position, every leaf made and taken back. PerftOverflow is
  // set when the tables had no room for a line (only absurd positions).
  std::uint64_t Perft(int depth);
  // The same per legal root move, in generation order; returns the total.
  std::uint64_t PerftDivide(int depth, const std::function<void(TEngineMove, std::uint64_t)>& report);
  bool PerftOverflow = false;
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
  std::uint64_t OddPositionNodeBudget = 5'000'000;
  static bool IsOrdinaryPosition(const TChessThread& engine);
  // Set when the last search gave up on its node budget (or SearchNodeLimit).
  bool BudgetExhausted = false;
  // A node limit for every search, as a tool asks for one; the search stops
  // as if asked to once it has made this many calls.
  std::uint64_t SearchNodeLimit = ~std::uint64_t{0};
  // The deepest ply any node of the current iteration reached (the
  // selective depth, capture search and check extensions included).
  std::int32_t SelDepth = 0;

  // Called after every completed iteration of SearchBestMove with its depth,
  // the score the root search returned and the nodes (calls of SearchNode
  // and CaptureSearch) of that iteration. Set it before the search.
  std::function<void(int depth, int score, std::uint64_t nodes)> OnIteration;

  // ===========================================================================
  // Engine state, in the order the engine thread declares it.

  // Evaluation tables.
  std::int32_t PieceSquare[2][6][64];
  std::int32_t Flip[64];
  std::int32_t PawnTable[64];
  std::int32_t KingSideShield[64];
  std::int32_t QueenSideShield[64];
  std::int32_t MinorTable[64];
  std::int32_t KingMiddleTable[64];
  std::int32_t KingEndTable[64];

  // Position, move list, history scores and undo stack.
  std::int32_t SquareSide[64];
  std::int32_t SquarePiece[64];
  std::int32_t SideToMove = engine::White;
  std::int32_t OtherSide = engine::Black;
  std::int32_t CastleRights = 0;
  std::int32_t EpSquare = -1;
  std::int32_t Ply = 0;
  TMoveEntry MoveList[MoveListSize];
  std::int32_t PlyFirst[MaxPly];
  std::int32_t PlyEnd[MaxPly];
  std::int32_t HistoryScore[64][64];
  TUndoEntry UndoStack[MaxPly];

  // Best lines.
  TEngineMove BestLine[MaxPly][MaxPly];
  std::int32_t BestLineLength[MaxPly];
  bool FollowBestLine = false;

  // Geometry and material, constant after construction.
  std::int32_t Mailbox[120];
  std::int32_t MailboxIndex[64];
  bool Slides[6];
  std::int32_t DirectionCount[6];
  std::int32_t Directions[6][8];
  std::int32_t CastleMask[64];
  std::int32_t PieceValue[6];

  // Kept up to date by LoadPosition, DoMove and UndoMove so that attack
  // tests, generation and evaluation need not scan the board: one bit per
  // engine square (bit s = square s) for each side and piece, and each
  // side's sum of PieceSquare entries.
  std::uint64_t PieceBits[2][6];
  std::uint64_t SideBits[2];
  std::int32_t PsqScore[2];
  std::int32_t SavedPsqScore[MaxPly][2];
  // Constant reach of each square, from the same mailbox steps: the squares
  // a knight or king there reaches, and the squares along each queen step
  // (in the order of Directions[Queen]) up to the edge.
  std::uint64_t KnightReach[64];
  std::uint64_t KingReach[64];
  std::uint64_t RayReach[64][8];

  // Calls of SearchNode and CaptureSearch since the search began, and the
  // count at which the search gives up.
  std::uint64_t Nodes = 0;
  std::uint64_t NodeLimit = ~std::uint64_t{0};

  // Thread hand-shake and links.
  std::atomic<bool> IsThinking{false};
  std::atomic<bool> StopSearch{false};
  const TChessGame* LinkedGame = nullptr;
  const std::atomic<int>* LinkedSearchDepth = nullptr;
  std::atomic<int> OwnSearchDepth{1};

 private:
  void PlacePiece(int square, int side, int piece);
  void ClearSquare(int square);
  void RecomputePsqScore();
  bool RoomForNode() const;
  bool Interrupted() const {
    return StopSearch.load(std::memory_order_relaxed) || Nodes > NodeLimit;
  }
  void SaveBestLine(TEngineMove move);
  std::uint64_t PerftNode(int depth);
};
