#pragma once
// The engine board: the squares, the side to move, rights and en passant
// square, and the stack of moves made on it, with making and taking back
// moves, attack tests and the static evaluation.
//
// Kept in step by Load, DoMove and UndoMove so that attack tests, generation
// and evaluation need not scan the board: one bit per engine square (bit s
// = square s) for each side and piece, and each side's sum of PieceSquare
// entries. Builds without NDEBUG check both against the squares after
// every move made or taken back.

#include <cstdint>

#include "chess/engine/EngineMove.h"
#include "chess/engine/EngineTables.h"

namespace perch {

class TChessGame;

class TEnginePosition {
 public:
  static constexpr int MaxPly = 64;

  // An empty board, White to move.
  TEnginePosition() { Load(nullptr); }

  // --- reading ------------------------------------------------------------------
  // The side code (White, Black, Empty) and piece code on an engine square.
  int SquareSide(int square) const { return squareSide_[square]; }
  int SquarePiece(int square) const { return squarePiece_[square]; }
  int SideToMove() const { return sideToMove_; }
  int OtherSide() const { return otherSide_; }
  // Bits 1, 2, 4, 8: White king side, White queen side, Black king side,
  // Black queen side.
  int CastleRights() const { return castleRights_; }
  int EpSquare() const { return epSquare_; }
  // The number of moves made since the root, and the index of the next
  // entry of the undo stack.
  int Ply() const { return ply_; }
  std::uint64_t PieceBits(int side, int piece) const { return pieceBits_[side][piece]; }
  std::uint64_t SideBits(int side) const { return sideBits_[side]; }
  std::uint64_t Occupied() const { return sideBits_[engine::White] | sideBits_[engine::Black]; }
  int PsqScore(int side) const { return psqScore_[side]; }
  // Material plus placement of a piece on a square, for this search's root.
  int PieceSquare(int side, int piece, int square) const { return pieceSquare_[side][piece][square]; }

  bool SquareAttacked(int square, int bySide) const;
  bool KingAttacked(int side) const;
  // In hundredths of a pawn, for the side to move.
  int Evaluate() const;

  // --- changing -----------------------------------------------------------------
  // Reads the game's Board, WhiteToMove, CastlingAllowed and EnPassant in
  // place (an empty board without a game); the ply starts at 0. Rights and
  // en passant squares the board does not bear out are dropped.
  void Load(const TChessGame* game);
  // Makes the move and returns true, or leaves the board as it was and
  // returns false when the move would leave the mover's king attacked or
  // castles out of, through or into check. The ply must be below MaxPly - 1.
  bool DoMove(TEngineMove move);
  // Takes back the last move DoMove made.
  void UndoMove();
  // The board as it stands becomes the root: the moves made are forgotten.
  void MakeRoot() { ply_ = 0; }
  // Builds the piece-square values from the current position (the king's
  // table and the pawn shields depend on the material left) and sums them.
  void BuildPieceSquareTables();

  // True when the kept bit sets and sums agree with the squares.
  bool KeptStateMatchesSquares() const;

 private:
  void PlacePiece(int square, int side, int piece);
  void ClearSquare(int square);
  void RecomputePsqScore();

  // Sixteen bytes, so that the stack is indexed by a shift.
  struct TUndoEntry {
    TEngineMove move;
    std::int8_t captured = engine::Empty;  // piece code that stood on the target
    std::int8_t castleRights = 0;
    std::int8_t epSquare = -1;
    std::int32_t psqScore[2] = {0, 0};
  };
  static_assert(sizeof(TUndoEntry) == 16);

  std::int32_t pieceSquare_[2][6][64] = {};
  std::int32_t squareSide_[64];
  std::int32_t squarePiece_[64];
  std::int32_t sideToMove_ = engine::White;
  std::int32_t otherSide_ = engine::Black;
  std::int32_t castleRights_ = 0;
  std::int32_t epSquare_ = -1;
  std::int32_t ply_ = 0;
  TUndoEntry undoStack_[MaxPly] = {};
  std::uint64_t pieceBits_[2][6];
  std::uint64_t sideBits_[2];
  std::int32_t psqScore_[2];
};

}  // namespace perch
