// Whether a move is legal: the movement of each piece, castling, the test
// of the own king, and the search for any legal move at all.

#include <cctype>
#include <cstdlib>

#include "chess/model/ChessGame.h"

namespace perch {

namespace {

bool OnBoard(Square sq) {
  const int n = SquareIndex(sq);
  return n >= 1 && n <= 64;
}

// Directions as {file step, rank step}, in the order the walks are made.
constexpr int DiagonalSteps[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
constexpr int StraightSteps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

}  // namespace

bool TChessGame::IsLegalMove(Square from, Square to) const {
  if (!OnBoard(from) || !OnBoard(to)) return false;
  // Once a position stands for the third time the game is over for both.
  if (IsThreefold()) return false;
  return IsLegalIgnoringRepetition(from, to);
}

bool TChessGame::IsLegalIgnoringRepetition(Square from, Square to) const {
  if (!OnBoard(from) || !OnBoard(to)) return false;
  const int mover = SideOf(from);
  if (mover != (WhiteToMove() ? 1 : 0)) return false;
  if (SideOf(to) == mover) return false;

  bool movementOk = false;
  switch (std::tolower(static_cast<unsigned char>(PieceAt(from)))) {
    case 'p': movementOk = PawnMoveOk(from, to); break;
    case 'n': movementOk = KnightMoveOk(from, to); break;
    case 'b': movementOk = BishopMoveOk(from, to); break;
    case 'r': movementOk = RookMoveOk(from, to); break;
    case 'q': movementOk = QueenMoveOk(from, to); break;
    case 'k': movementOk = KingMoveOk(from, to); break;
    default: break;
  }
  if (!movementOk) return false;
  return mover == 0 ? !BlackInCheckAfter(from, to) : !WhiteInCheckAfter(from, to);
}

bool TChessGame::PawnMoveOk(Square from, Square to) const {
  if (!OnBoard(from) || !OnBoard(to)) return false;
  const int side = SideOf(from);
  if (side < 0) return false;
  const int forward = side == 1 ? 1 : -1;
  const int homeRank = side == 1 ? 2 : 7;
  const int enemy = 1 - side;
  const int d = std::abs(FileOf(from) - FileOf(to));

  if (RankOf(to) == RankOf(from) + forward) {
    if (d == 0) return PieceAt(to) == ' ';
    if (d == 1) return SideOf(to) == enemy || to == enPassant_;
    return false;
  }
  const Square between = SquareFromIndex((SquareIndex(from) + SquareIndex(to)) / 2);
  return RankOf(from) == homeRank && RankOf(to) == homeRank + 2 * forward && d == 0 && PieceAt(to) == ' ' &&
         PieceAt(between) == ' ';
}

bool TChessGame::KnightMoveOk(Square from, Square to) const {
  if (!OnBoard(from) || !OnBoard(to)) return false;
  const int df = std::abs(FileOf(from) - FileOf(to));
  const int dr = std::abs(RankOf(from) - RankOf(to));
  return (df == 2 && dr == 1) || (df == 1 && dr == 2);
}

bool TChessGame::SlideReaches(Square from, Square to, const int (*steps)[2]) const {
  if (!OnBoard(from) || !OnBoard(to)) return false;
  const int mover = SideOf(from);
  for (int dir = 0; dir < 4; ++dir) {
    for (int k = 1; k <= 7; ++k) {
      const Square sq = SquareOf(FileOf(from) + k * steps[dir][0], RankOf(from) + k * steps[dir][1]);
      // Off the board every further step is off it too.
      if (sq == Square::None) break;
      const int side = SideOf(sq);
      if (sq == to) return side == -1 || side != mover;
      if (side != -1) break;
    }
  }
  return false;
}

bool TChessGame::BishopMoveOk(Square from, Square to) const { return SlideReaches(from, to, DiagonalSteps); }

bool TChessGame::RookMoveOk(Square from, Square to) const { return SlideReaches(from, to, StraightSteps); }

bool TChessGame::QueenMoveOk(Square from, Square to) const {
  return BishopMoveOk(from, to) || RookMoveOk(from, to);
}

bool TChessGame::KingMoveOk(Square from, Square to) const {
  if (!OnBoard(from) || !OnBoard(to)) return false;
  const int df = std::abs(FileOf(from) - FileOf(to));
  const int dr = std::abs(RankOf(from) - RankOf(to));
  if (df <= 1 && dr <= 1) return true;
  return CastlingOk(from, to);
}

bool TChessGame::CastlingOk(Square from, Square to) const {
  struct Castling {
    Square kingFrom, kingTo;
    CanStillCastle right;
    char king;
    Square rookCorner;
    char rook;
    Square mustBeBlank[3];
    Square notAttacked[3];
  };
  static constexpr Castling Castlings[4] = {
      {Square::E1,
       Square::G1,
       CanStillCastle::WhiteKingSide,
       'K',
       Square::H1,
       'R',
       {Square::F1, Square::G1, Square::None},
       {Square::E1, Square::F1, Square::G1}},
      {Square::E1,
       Square::C1,
       CanStillCastle::WhiteQueenSide,
       'K',
       Square::A1,
       'R',
       {Square::B1, Square::C1, Square::D1},
       {Square::E1, Square::D1, Square::C1}},
      {Square::E8,
       Square::G8,
       CanStillCastle::BlackKingSide,
       'k',
       Square::H8,
       'r',
       {Square::F8, Square::G8, Square::None},
       {Square::E8, Square::F8, Square::G8}},
      {Square::E8,
       Square::C8,
       CanStillCastle::BlackQueenSide,
       'k',
       Square::A8,
       'r',
       {Square::B8, Square::C8, Square::D8},
       {Square::E8, Square::D8, Square::C8}},
  };
  for (const Castling& c : Castlings) {
    if (from != c.kingFrom || to != c.kingTo) continue;
    // Only the king of the side the right belongs to castles this way.
    if (PieceAt(from) != c.king) return false;
    if (!CastlingAllowed().Contains(c.right)) return false;
    if (PieceAt(c.rookCorner) != c.rook) return false;
    for (Square sq : c.mustBeBlank)
      if (sq != Square::None && PieceAt(sq) != ' ') return false;
    const bool white = c.king == 'K';
    for (Square sq : c.notAttacked)
      if (KingAttackedAfter(c.kingFrom, sq, white)) return false;
    return true;
  }
  return false;
}

bool TChessGame::HasLegalMove() const {
  if (IsThreefold()) return false;
  const int mover = WhiteToMove() ? 1 : 0;
  for (int f = 1; f <= 64; ++f) {
    const Square from = SquareFromIndex(f);
    if (SideOf(from) != mover) continue;
    for (int t = 1; t <= 64; ++t)
      if (IsLegalIgnoringRepetition(from, SquareFromIndex(t))) return true;
  }
  return false;
}

}  // namespace perch
