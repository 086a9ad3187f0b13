// Loading the engine board from the linked game, and the small helpers that
// keep the square arrays and the piece bit sets in step.

#include <bit>
#include <cstring>

#include "TChessThread.h"
#include "chess/model/ChessGame.h"

using namespace engine;

namespace {

int SideOfLetter(char c) {
  if (c >= 'b' && c <= 'r') return Black;
  if (c >= 'B' && c <= 'R') return White;
  return Empty;
}

int PieceOfLetter(char c) {
  switch (c) {
    case 'p': case 'P': return Pawn;
    case 'n': case 'N': return Knight;
    case 'b': case 'B': return Bishop;
    case 'r': case 'R': return Rook;
    case 'q': case 'Q': return Queen;
    case 'k': case 'K': return King;
    default: return Empty;
  }
}

}  // namespace

void TChessThread::PlacePiece(int square, int side, int piece) {
  const std::uint64_t bit = std::uint64_t{1} << square;
  SquareSide[square] = side;
  SquarePiece[square] = piece;
  PieceBits[side][piece] |= bit;
  SideBits[side] |= bit;
}

void TChessThread::ClearSquare(int square) {
  const int side = SquareSide[square];
  if (side != Empty) {
    const std::uint64_t bit = ~(std::uint64_t{1} << square);
    PieceBits[side][SquarePiece[square]] &= bit;
    SideBits[side] &= bit;
  }
  SquareSide[square] = Empty;
  SquarePiece[square] = Empty;
}

void TChessThread::RecomputePsqScore() {
  PsqScore[White] = PsqScore[Black] = 0;
  for (int s = 0; s < 64; ++s) {
    const int side = SquareSide[s];
    if (side != Empty) PsqScore[side] += PieceSquare[side][SquarePiece[s]][s];
  }
}

void TChessThread::LoadPosition() {
  std::memset(PieceBits, 0, sizeof PieceBits);
  std::memset(SideBits, 0, sizeof SideBits);
  for (int s = 0; s < 64; ++s) {
    SquareSide[s] = SquarePiece[s] = Empty;
    if (!LinkedGame) continue;
    const char c = LinkedGame->Board()[s + 1];
    const int side = SideOfLetter(c);
    const int piece = PieceOfLetter(c);
    // A letter of a side's range that names no piece is an empty square;
    // the model never holds one, but the tables must never see it.
    if (side != Empty && piece != Empty) PlacePiece(s, side, piece);
  }

  const bool whiteToMove = LinkedGame ? LinkedGame->WhiteToMove() : true;
  SideToMove = whiteToMove ? White : Black;
  OtherSide = SideToMove ^ 1;

  // A right is kept only while its king and its rook stand on their
  // starting squares. The board keeps a right when the rook is taken on its
  // corner; castling with the missing rook would corrupt the engine board.
  const CastleSet rights = LinkedGame ? LinkedGame->CastlingAllowed() : CastleSet();
  auto standsOn = [this](int square, int side, int piece) {
    return SquareSide[square] == side && SquarePiece[square] == piece;
  };
  CastleRights = 0;
  if (standsOn(60, White, King)) {
    if (rights.Contains(CanStillCastle::WhiteKingSide) && standsOn(63, White, Rook)) CastleRights |= 1;
    if (rights.Contains(CanStillCastle::WhiteQueenSide) && standsOn(56, White, Rook)) CastleRights |= 2;
  }
  if (standsOn(4, Black, King)) {
    if (rights.Contains(CanStillCastle::BlackKingSide) && standsOn(7, Black, Rook)) CastleRights |= 4;
    if (rights.Contains(CanStillCastle::BlackQueenSide) && standsOn(0, Black, Rook)) CastleRights |= 8;
  }

  // An en passant square is kept only where a capture onto it can be made
  // and taken back: on the rank the side to move captures onto, empty, with
  // a pawn of the other side behind it. Anything else (a side to move or a
  // board written after the double step) would let the capture remove or
  // restore a piece that is not that pawn.
  EpSquare = -1;
  const int ep = LinkedGame ? SquareIndex(LinkedGame->EnPassant()) - 1 : -1;
  if (ep >= 0 && ep < 64) {
    const int row = ep / 8;
    const int behind = SideToMove == White ? ep + 8 : ep - 8;
    const int wantedRow = SideToMove == White ? 2 : 5;
    if (row == wantedRow && SquareSide[ep] == Empty && standsOn(behind, OtherSide, Pawn)) EpSquare = ep;
  }

  Ply = 0;
  PlyFirst[0] = 0;
  RecomputePsqScore();
}
