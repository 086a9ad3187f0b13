// Making and taking back moves. Legality is tested after the move: a move
// that leaves the mover's king attacked is taken back and refused.

#include "TChessThread.h"

using namespace engine;

bool TChessThread::DoMove(TEngineMove move) {
  const int from = move.from, to = move.to, flags = move.flags;
  const int side = SideToMove, other = OtherSide;

  int rookFrom = -1, rookTo = -1;
  if (flags & FlagCastle) {
    if (KingAttacked(side)) return false;
    auto empty = [this](int s) { return SquareSide[s] == Empty; };
    auto safe = [this, other](int s) { return !SquareAttacked(s, other); };
    switch (to) {
      case 62:
        if (!(empty(61) && empty(62) && safe(61) && safe(62))) return false;
        rookFrom = 63, rookTo = 61;
        break;
      case 58:
        if (!(empty(57) && empty(58) && empty(59) && safe(58) && safe(59))) return false;
        rookFrom = 56, rookTo = 59;
        break;
      case 6:
        if (!(empty(5) && empty(6) && safe(5) && safe(6))) return false;
        rookFrom = 7, rookTo = 5;
        break;
      case 2:
        if (!(empty(1) && empty(2) && empty(3) && safe(2) && safe(3))) return false;
        rookFrom = 0, rookTo = 3;
        break;
      default:
        return false;
    }
  }

  TUndoEntry& undo = UndoStack[Ply];
  undo.move = move;
  undo.captured = SquarePiece[to];
  undo.castleRights = CastleRights;
  undo.epSquare = EpSquare;
  SavedPsqScore[Ply][White] = PsqScore[White];
  SavedPsqScore[Ply][Black] = PsqScore[Black];
  ++Ply;

  CastleRights &= CastleMask[from] & CastleMask[to];
  EpSquare = (flags & FlagDoubleStep) ? (side == White ? to + 8 : to - 8) : -1;

  if (rookFrom >= 0) {
    // The rights guarantee the rook on its corner.
    ClearSquare(rookFrom);
    PlacePiece(rookTo, side, Rook);
    PsqScore[side] += PieceSquare[side][Rook][rookTo] - PieceSquare[side][Rook][rookFrom];
  }

  const int moving = SquarePiece[from];
  const int landing = (flags & FlagPromotion) ? move.promote : moving;
  const int capturedSide = SquareSide[to];
  if (capturedSide != Empty) PsqScore[capturedSide] -= PieceSquare[capturedSide][SquarePiece[to]][to];
  PsqScore[side] += PieceSquare[side][landing][to] - PieceSquare[side][moving][from];
  ClearSquare(to);
  PlacePiece(to, side, landing);
  ClearSquare(from);

  if (flags & FlagEnPassant) {
    const int taken = side == White ? to + 8 : to - 8;
    if (SquareSide[taken] != Empty)
      PsqScore[SquareSide[taken]] -= PieceSquare[SquareSide[taken]][SquarePiece[taken]][taken];
    ClearSquare(taken);
  }

  SideToMove = other;
  OtherSide = side;

  if (KingAttacked(side)) {
    UndoMove();
    return false;
  }
  return true;
}

void TChessThread::UndoMove() {
  const int side = OtherSide;  // the side that made the move
  SideToMove = side;
  OtherSide = side ^ 1;
  --Ply;
  const TUndoEntry& undo = UndoStack[Ply];
  CastleRights = undo.castleRights;
  EpSquare = undo.epSquare;
  const int from = undo.move.from, to = undo.move.to, flags = undo.move.flags;

  const int moved = (flags & FlagPromotion) ? Pawn : SquarePiece[to];
  ClearSquare(from);
  PlacePiece(from, side, moved);
  ClearSquare(to);
  if (undo.captured != Empty) PlacePiece(to, OtherSide, undo.captured);

  if (flags & FlagCastle) {
    int rookFrom = -1, rookTo = -1;
    switch (to) {
      case 62: rookFrom = 63, rookTo = 61; break;
      case 58: rookFrom = 56, rookTo = 59; break;
      case 6: rookFrom = 7, rookTo = 5; break;
      case 2: rookFrom = 0, rookTo = 3; break;
      default: break;
    }
    if (rookFrom >= 0) {
      ClearSquare(rookTo);
      PlacePiece(rookFrom, side, Rook);
    }
  }

  if (flags & FlagEnPassant) {
    const int taken = side == White ? to + 8 : to - 8;
    ClearSquare(taken);
    PlacePiece(taken, OtherSide, Pawn);
  }

  PsqScore[White] = SavedPsqScore[Ply][White];
  PsqScore[Black] = SavedPsqScore[Ply][Black];
}
