// Pseudo-legal move generation: all moves, or only captures, en passant
// captures and promotions, appended to the shared move list at the current
// ply in the order the search's tie-breaking depends on (squares 0..63).

#include <bit>

#include "chess/engine/TChessThread.h"

namespace perch {

using namespace engine;

void TChessThread::AddPromotions(int from, int to, int flags) {
  for (int promote = Knight; promote <= Queen; ++promote) {
    search_.AddMove(position_.Ply(),
                    {static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                     static_cast<std::uint8_t>(promote), static_cast<std::uint8_t>(flags + FlagPromotion)},
                    1000000 + 10 * promote);
  }
}

void TChessThread::AddMove(int from, int to, int flags) {
  if ((flags & FlagPawnMove) && (position_.SideToMove() == White ? to <= 7 : to >= 56)) {
    AddPromotions(from, to, flags);
    return;
  }
  search_.AddMove(
      position_.Ply(),
      {static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), 0, static_cast<std::uint8_t>(flags)},
      (flags & FlagCapture) ? 1000000 + 10 * position_.SquarePiece(to) - position_.SquarePiece(from)
                            : search_.HistoryScore(from, to));
}

// Both generators share the square scan; CapturesOnly selects the capture
// generator's pawn and piece rules.
template <bool CapturesOnly>
struct TMoveGenerator {
  static void Run(TChessThread& e) {
    const TEnginePosition& p = e.position_;
    const int side = p.SideToMove();
    const int other = p.OtherSide();
    e.search_.BeginMoves(p.Ply());

    for (std::uint64_t pieces = p.SideBits(side); pieces; pieces &= pieces - 1) {
      const int s = std::countr_zero(pieces);
      const int piece = p.SquarePiece(s);
      if (piece == Pawn) {
        PawnMoves(e, p, s, side, other);
        continue;
      }
      const int count = Tables.DirectionCount(piece);
      const bool slides = Tables.Slides(piece);
      for (int d = 0; d < count; ++d) {
        const int step = Tables.Directions(piece, d);
        int t = s;
        for (;;) {
          t = Tables.Mailbox(Tables.MailboxIndex(t) + step);
          if (t < 0) break;
          const int targetSide = p.SquareSide(t);
          if (targetSide == Empty) {
            if (!CapturesOnly) e.AddMove(s, t, 0);
            if (!slides) break;
            continue;
          }
          if (targetSide == other) e.AddMove(s, t, FlagCapture);
          break;
        }
      }
    }

    if (!CapturesOnly) Castling(e, p, side);
    EnPassant(e, p, side);
    e.search_.EndMoves(p.Ply());
  }

  static void PawnMoves(TChessThread& e, const TEnginePosition& p, int s, int side, int other) {
    const int file = s % 8;
    if (side == White) {
      // A pawn on its last rank (only in a position written from outside)
      // has nowhere to go.
      if (s < 8) return;
      if (file != 0 && p.SquareSide(s - 9) == other) e.AddMove(s, s - 9, FlagPawnMove | FlagCapture);
      if (file != 7 && p.SquareSide(s - 7) == other) e.AddMove(s, s - 7, FlagPawnMove | FlagCapture);
      if (CapturesOnly) {
        if (s <= 15 && p.SquareSide(s - 8) == Empty) e.AddMove(s, s - 8, FlagPawnMove);
      } else if (p.SquareSide(s - 8) == Empty) {
        e.AddMove(s, s - 8, FlagPawnMove);
        if (s >= 48 && p.SquareSide(s - 16) == Empty) e.AddMove(s, s - 16, FlagPawnMove | FlagDoubleStep);
      }
    } else {
      if (s >= 56) return;
      if (file != 0 && p.SquareSide(s + 7) == other) e.AddMove(s, s + 7, FlagPawnMove | FlagCapture);
      if (file != 7 && p.SquareSide(s + 9) == other) e.AddMove(s, s + 9, FlagPawnMove | FlagCapture);
      if (CapturesOnly) {
        if (s >= 48 && p.SquareSide(s + 8) == Empty) e.AddMove(s, s + 8, FlagPawnMove);
      } else if (p.SquareSide(s + 8) == Empty) {
        e.AddMove(s, s + 8, FlagPawnMove);
        if (s <= 15 && p.SquareSide(s + 16) == Empty) e.AddMove(s, s + 16, FlagPawnMove | FlagDoubleStep);
      }
    }
  }

  // From the rights alone; DoMove tests whether castling is possible.
  static void Castling(TChessThread& e, const TEnginePosition& p, int side) {
    if (side == White) {
      if (p.CastleRights() & 1) e.AddMove(60, 62, FlagCastle);
      if (p.CastleRights() & 2) e.AddMove(60, 58, FlagCastle);
    } else {
      if (p.CastleRights() & 4) e.AddMove(4, 6, FlagCastle);
      if (p.CastleRights() & 8) e.AddMove(4, 2, FlagCastle);
    }
  }

  static void EnPassant(TChessThread& e, const TEnginePosition& p, int side) {
    const int ep = p.EpSquare();
    if (ep < 0) return;
    const int file = ep % 8;
    const int flags = FlagPawnMove | FlagEnPassant | FlagCapture;
    auto pawnOn = [&](int s) { return p.SquareSide(s) == side && p.SquarePiece(s) == Pawn; };
    if (side == White) {
      if (file != 0 && pawnOn(ep + 7)) e.AddMove(ep + 7, ep, flags);
      if (file != 7 && pawnOn(ep + 9)) e.AddMove(ep + 9, ep, flags);
    } else {
      if (file != 0 && pawnOn(ep - 9)) e.AddMove(ep - 9, ep, flags);
      if (file != 7 && pawnOn(ep - 7)) e.AddMove(ep - 7, ep, flags);
    }
  }
};

void TChessThread::GenerateMoves() { TMoveGenerator<false>::Run(*this); }

void TChessThread::GenerateCaptures() { TMoveGenerator<true>::Run(*this); }

}  // namespace perch
