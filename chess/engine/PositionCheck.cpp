// The tests of a position that no game can reach.

#include "chess/engine/PositionCheck.h"

#include <algorithm>
#include <bit>

#include "chess/engine/Fen.h"

namespace perch {

using namespace engine;

namespace {

const char* SideName(int side) { return side == White ? "white" : "black"; }

std::string SquareText(int engineSquare) { return SquareName(SquareFromIndex(engineSquare + 1)); }

// Engine squares of the kings' and rooks' starting places.
constexpr int A8 = 0, E8 = 4, H8 = 7, A1 = 56, E1 = 60, H1 = 63;

bool Holds(const TChessThread& e, int square, int side, int piece) {
  return e.SquareSide(square) == side && e.SquarePiece(square) == piece;
}

std::string MaterialFault(const TChessThread& e, int side) {
  const std::string who = SideName(side);
  const int kings = std::popcount(e.PieceBits(side, King));
  if (kings == 0) return who + " has no king";
  if (kings > 1) return who + " has " + std::to_string(kings) + " kings";
  if (const int pieces = std::popcount(e.SideBits(side)); pieces > 16)
    return who + " has " + std::to_string(pieces) + " pieces (at most 16)";
  const int pawns = std::popcount(e.PieceBits(side, Pawn));
  if (pawns > 8) return who + " has " + std::to_string(pawns) + " pawns (at most 8)";
  constexpr std::uint64_t OuterRanks = 0xFF000000000000FFull;
  if (const std::uint64_t stray = e.PieceBits(side, Pawn) & OuterRanks)
    return who + " pawn on " + SquareText(std::countr_zero(stray));
  // Every piece beyond the starting set stands for a pawn promoted.
  auto extra = [&](int piece, int start) {
    return std::max(0, std::popcount(e.PieceBits(side, piece)) - start);
  };
  const int promoted = extra(Queen, 1) + extra(Rook, 2) + extra(Bishop, 2) + extra(Knight, 2);
  if (promoted > 8 - pawns)
    return who + " has " + std::to_string(promoted) + " promoted pieces but only " +
           std::to_string(8 - pawns) + " missing pawns";
  return "";
}

std::string CastlingFault(const TChessThread& e, CastleSet castling) {
  struct Right {
    CanStillCastle right;
    int side, king, rook;
    char letter;
  };
  const Right rights[] = {{CanStillCastle::WhiteKingSide, White, E1, H1, 'K'},
                          {CanStillCastle::WhiteQueenSide, White, E1, A1, 'Q'},
                          {CanStillCastle::BlackKingSide, Black, E8, H8, 'k'},
                          {CanStillCastle::BlackQueenSide, Black, E8, A8, 'q'}};
  for (const Right& r : rights) {
    if (!castling.Contains(r.right)) continue;
    if (!Holds(e, r.king, r.side, King))
      return std::string("castling right ") + r.letter + " without the " + SideName(r.side) + " king on " +
             SquareText(r.king);
    if (!Holds(e, r.rook, r.side, Rook))
      return std::string("castling right ") + r.letter + " without a " + SideName(r.side) + " rook on " +
             SquareText(r.rook);
  }
  return "";
}

// The en passant square is the one a pawn of the side that just moved
// passed over with a double step: that pawn stands in front of it and the
// squares it passed are empty.
std::string EnPassantFault(const TChessThread& e, Square enPassant) {
  if (enPassant == Square::None) return "";
  const int ep = SquareIndex(enPassant) - 1;
  const int mover = e.OtherSide();
  const int forward = mover == White ? -8 : 8;     // the mover's pawn direction
  const int expectedRow = mover == White ? 5 : 2;  // rank 3 or rank 6
  const std::string what = "en passant square " + SquareText(ep);
  if (ep / 8 != expectedRow)
    return what + " is not on rank " + (mover == White ? "3" : "6") + " with " + SideName(e.SideToMove()) +
           " to move";
  if (!Holds(e, ep + forward, mover, Pawn))
    return what + " without a " + SideName(mover) + " pawn on " + SquareText(ep + forward);
  if (e.SquareSide(ep) != Empty || e.SquareSide(ep - forward) != Empty)
    return what + " with a piece on the squares the pawn passed";
  return "";
}

}  // namespace

std::string UnreachablePositionFault(const TChessThread& loaded, const FenPosition& fen) {
  for (int side : {White, Black})
    if (std::string fault = MaterialFault(loaded, side); !fault.empty()) return fault;
  if (loaded.KingAttacked(loaded.OtherSide()))
    return std::string(SideName(loaded.OtherSide())) + " is in check but " + SideName(loaded.SideToMove()) +
           " is to move";
  if (std::string fault = CastlingFault(loaded, fen.castling); !fault.empty()) return fault;
  return EnPassantFault(loaded, fen.enPassant);
}

}  // namespace perch
