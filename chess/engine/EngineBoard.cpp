// Loading the engine board from a game, and the small helpers that keep the
// square arrays, the piece bit sets and the sums in step.

#include <bit>
#include <cstring>

#include "chess/engine/EnginePosition.h"
#include "chess/model/ChessGame.h"

namespace perch {

using namespace engine;

namespace {

int SideOfLetter(char c) {
  if (c >= 'b' && c <= 'r') return Black;
  if (c >= 'B' && c <= 'R') return White;
  return Empty;
}

int PieceOfLetter(char c) {
  switch (c) {
    case 'p':
    case 'P': return Pawn;
    case 'n':
    case 'N': return Knight;
    case 'b':
    case 'B': return Bishop;
    case 'r':
    case 'R': return Rook;
    case 'q':
    case 'Q': return Queen;
    case 'k':
    case 'K': return King;
    default: return Empty;
  }
}

}  // namespace

void TEnginePosition::PlacePiece(int square, int side, int piece) {
  const std::uint64_t bit = std::uint64_t{1} << square;
  squareSide_[square] = side;
  squarePiece_[square] = piece;
  pieceBits_[side][piece] |= bit;
  sideBits_[side] |= bit;
}

void TEnginePosition::ClearSquare(int square) {
  const int side = squareSide_[square];
  if (side != Empty) {
    const std::uint64_t bit = ~(std::uint64_t{1} << square);
    pieceBits_[side][squarePiece_[square]] &= bit;
    sideBits_[side] &= bit;
  }
  squareSide_[square] = Empty;
  squarePiece_[square] = Empty;
}

void TEnginePosition::RecomputePsqScore() {
  psqScore_[White] = psqScore_[Black] = 0;
  for (int s = 0; s < 64; ++s) {
    const int side = squareSide_[s];
    if (side != Empty) psqScore_[side] += pieceSquare_[side][squarePiece_[s]][s];
  }
}

void TEnginePosition::Load(const TChessGame* game) {
  std::memset(pieceBits_, 0, sizeof pieceBits_);
  std::memset(sideBits_, 0, sizeof sideBits_);
  for (int s = 0; s < 64; ++s) {
    squareSide_[s] = squarePiece_[s] = Empty;
    if (!game) continue;
    const char c = game->Board()[s + 1];
    const int side = SideOfLetter(c);
    const int piece = PieceOfLetter(c);
    // A letter of a side's range that names no piece is an empty square;
    // the model never holds one, but the tables must never see it.
    if (side != Empty && piece != Empty) PlacePiece(s, side, piece);
  }

  const bool whiteToMove = game ? game->WhiteToMove() : true;
  sideToMove_ = whiteToMove ? White : Black;
  otherSide_ = sideToMove_ ^ 1;

  // A right is kept only while its king and its rook stand on their
  // starting squares. The board keeps a right when the rook is taken on its
  // corner; castling with the missing rook would corrupt the engine board.
  const CastleSet rights = game ? game->CastlingAllowed() : CastleSet();
  auto standsOn = [this](int square, int side, int piece) {
    return squareSide_[square] == side && squarePiece_[square] == piece;
  };
  castleRights_ = 0;
  if (standsOn(60, White, King)) {
    if (rights.Contains(CanStillCastle::WhiteKingSide) && standsOn(63, White, Rook)) castleRights_ |= 1;
    if (rights.Contains(CanStillCastle::WhiteQueenSide) && standsOn(56, White, Rook)) castleRights_ |= 2;
  }
  if (standsOn(4, Black, King)) {
    if (rights.Contains(CanStillCastle::BlackKingSide) && standsOn(7, Black, Rook)) castleRights_ |= 4;
    if (rights.Contains(CanStillCastle::BlackQueenSide) && standsOn(0, Black, Rook)) castleRights_ |= 8;
  }

  // An en passant square is kept only where a capture onto it can be made
  // and taken back: on the rank the side to move captures onto, empty, with
  // a pawn of the other side behind it. Anything else (a side to move or a
  // board written after the double step) would let the capture remove or
  // restore a piece that is not that pawn.
  epSquare_ = -1;
  const int ep = game ? SquareIndex(game->EnPassant()) - 1 : -1;
  if (ep >= 0 && ep < 64) {
    const int row = ep / 8;
    const int behind = sideToMove_ == White ? ep + 8 : ep - 8;
    const int wantedRow = sideToMove_ == White ? 2 : 5;
    if (row == wantedRow && squareSide_[ep] == Empty && standsOn(behind, otherSide_, Pawn)) epSquare_ = ep;
  }

  ply_ = 0;
  RecomputePsqScore();
}

bool TEnginePosition::KeptStateMatchesSquares() const {
  std::uint64_t pieces[2][6] = {}, sides[2] = {};
  std::int32_t psq[2] = {0, 0};
  for (int s = 0; s < 64; ++s) {
    const int side = squareSide_[s], piece = squarePiece_[s];
    if ((side == Empty) != (piece == Empty)) return false;
    if (side == Empty) continue;
    if (side < White || side > Black || piece < Pawn || piece > King) return false;
    pieces[side][piece] |= std::uint64_t{1} << s;
    sides[side] |= std::uint64_t{1} << s;
    psq[side] += pieceSquare_[side][piece][s];
  }
  for (int side = White; side <= Black; ++side) {
    if (sides[side] != sideBits_[side] || psq[side] != psqScore_[side]) return false;
    for (int piece = Pawn; piece <= King; ++piece)
      if (pieces[side][piece] != pieceBits_[side][piece]) return false;
  }
  return true;
}

}  // namespace perch
