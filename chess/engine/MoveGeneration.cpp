// Pseudo-legal move generation: all moves, or only captures, en passant
// captures and promotions, appended to the shared move list at the current
// ply in the order the search's tie-breaking depends on (squares 0..63).

#include <bit>

#include "TChessThread.h"

using namespace engine;

void TChessThread::AddPromotions(int from, int to, int flags) {
  for (int promote = Knight; promote <= Queen; ++promote) {
    TMoveEntry& entry = MoveList[PlyEnd[Ply]++];
    entry.move = {static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                  static_cast<std::uint8_t>(promote), static_cast<std::uint8_t>(flags + FlagPromotion)};
    entry.score = 1000000 + 10 * promote;
  }
}

void TChessThread::AddMove(int from, int to, int flags) {
  if ((flags & FlagPawnMove) && (SideToMove == White ? to <= 7 : to >= 56)) {
    AddPromotions(from, to, flags);
    return;
  }
  TMoveEntry& entry = MoveList[PlyEnd[Ply]++];
  entry.move = {static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), 0,
                static_cast<std::uint8_t>(flags)};
  entry.score = (flags & FlagCapture) ? 1000000 + 10 * SquarePiece[to] - SquarePiece[from]
                                      : HistoryScore[from][to];
}

namespace {

// Both generators share the square scan; CapturesOnly selects the capture
// generator's pawn and piece rules.
template <bool CapturesOnly>
struct Generator {
  static void Run(TChessThread& e) {
    const int side = e.SideToMove;
    const int other = e.OtherSide;
    e.PlyEnd[e.Ply] = e.PlyFirst[e.Ply];

    for (std::uint64_t pieces = e.SideBits[side]; pieces; pieces &= pieces - 1) {
      const int s = std::countr_zero(pieces);
      const int piece = e.SquarePiece[s];
      if (piece == Pawn) {
        PawnMoves(e, s, side, other);
        continue;
      }
      const int count = e.DirectionCount[piece];
      const bool slides = e.Slides[piece];
      for (int d = 0; d < count; ++d) {
        const int step = e.Directions[piece][d];
        int t = s;
        for (;;) {
          t = e.Mailbox[e.MailboxIndex[t] + step];
          if (t < 0) break;
          const int targetSide = e.SquareSide[t];
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

    if (!CapturesOnly) Castling(e, side);
    EnPassant(e, side);
    e.PlyFirst[e.Ply + 1] = e.PlyEnd[e.Ply];
  }

  static void PawnMoves(TChessThread& e, int s, int side, int other) {
    const int file = s % 8;
    if (side == White) {
      // A pawn on its last rank (only in a position written from outside)
      // has nowhere to go.
      if (s < 8) return;
      if (file != 0 && e.SquareSide[s - 9] == other) e.AddMove(s, s - 9, FlagPawnMove | FlagCapture);
      if (file != 7 && e.SquareSide[s - 7] == other) e.AddMove(s, s - 7, FlagPawnMove | FlagCapture);
      if (CapturesOnly) {
        if (s <= 15 && e.SquareSide[s - 8] == Empty) e.AddMove(s, s - 8, FlagPawnMove);
      } else if (e.SquareSide[s - 8] == Empty) {
        e.AddMove(s, s - 8, FlagPawnMove);
        if (s >= 48 && e.SquareSide[s - 16] == Empty) e.AddMove(s, s - 16, FlagPawnMove | FlagDoubleStep);
      }
    } else {
      if (s >= 56) return;
      if (file != 0 && e.SquareSide[s + 7] == other) e.AddMove(s, s + 7, FlagPawnMove | FlagCapture);
      if (file != 7 && e.SquareSide[s + 9] == other) e.AddMove(s, s + 9, FlagPawnMove | FlagCapture);
      if (CapturesOnly) {
        if (s >= 48 && e.SquareSide[s + 8] == Empty) e.AddMove(s, s + 8, FlagPawnMove);
      } else if (e.SquareSide[s + 8] == Empty) {
        e.AddMove(s, s + 8, FlagPawnMove);
        if (s <= 15 && e.SquareSide[s + 16] == Empty) e.AddMove(s, s + 16, FlagPawnMove | FlagDoubleStep);
      }
    }
  }

  // From the rights alone; DoMove tests whether castling is possible.
  static void Castling(TChessThread& e, int side) {
    if (side == White) {
      if (e.CastleRights & 1) e.AddMove(60, 62, FlagCastle);
      if (e.CastleRights & 2) e.AddMove(60, 58, FlagCastle);
    } else {
      if (e.CastleRights & 4) e.AddMove(4, 6, FlagCastle);
      if (e.CastleRights & 8) e.AddMove(4, 2, FlagCastle);
    }
  }

  static void EnPassant(TChessThread& e, int side) {
    const int ep = e.EpSquare;
    if (ep < 0) return;
    const int file = ep % 8;
    const int flags = FlagPawnMove | FlagEnPassant | FlagCapture;
    auto pawnOn = [&](int s) { return e.SquareSide[s] == side && e.SquarePiece[s] == Pawn; };
    if (side == White) {
      if (file != 0 && pawnOn(ep + 7)) e.AddMove(ep + 7, ep, flags);
      if (file != 7 && pawnOn(ep + 9)) e.AddMove(ep + 9, ep, flags);
    } else {
      if (file != 0 && pawnOn(ep - 9)) e.AddMove(ep - 9, ep, flags);
      if (file != 7 && pawnOn(ep - 7)) e.AddMove(ep - 7, ep, flags);
    }
  }
};

}  // namespace

void TChessThread::GenerateMoves() { Generator<false>::Run(*this); }

void TChessThread::GenerateCaptures() { Generator<true>::Run(*this); }
