// Whether a king would be attacked after a move. The test works on a copy
// of the board in which only the moving piece has moved (and a pawn taken
// en passant has gone); the rook of a castling and a promotion are not
// applied, and the board itself is never touched.

#include "chess/model/ChessGame.h"

namespace perch {

namespace {

using Copy = TChessGame::BoardArray;

char At(const Copy& board, int file, int rank) {
  const Square sq = SquareOf(file, rank);
  return sq == Square::None ? '\0' : board[SquareIndex(sq)];
}

// Walks from the king along each direction to the first square that is not
// blank; off the board ends the walk like a piece that attacks nothing.
bool SliderAttacks(const Copy& board, int f, int r, const int (*steps)[2], char queen, char slider,
                   char king) {
  for (int dir = 0; dir < 4; ++dir) {
    for (int k = 1; k <= 7; ++k) {
      const char c = At(board, f + k * steps[dir][0], r + k * steps[dir][1]);
      if (c == ' ') continue;
      if (c == queen || c == slider || (c == king && k == 1)) return true;
      break;
    }
  }
  return false;
}

bool Attacked(const Copy& board, int f, int r, bool whiteKing) {
  // The attackers are the other side's pieces.
  const char pawn = whiteKing ? 'p' : 'P';
  const char knight = whiteKing ? 'n' : 'N';
  const char bishop = whiteKing ? 'b' : 'B';
  const char rook = whiteKing ? 'r' : 'R';
  const char queen = whiteKing ? 'q' : 'Q';
  const char king = whiteKing ? 'k' : 'K';

  // A pawn attacks towards the king's side of the board.
  const int pawnRank = whiteKing ? r + 1 : r - 1;
  if (At(board, f - 1, pawnRank) == pawn || At(board, f + 1, pawnRank) == pawn) return true;

  static constexpr int KnightJumps[8][2] = {{2, 1}, {2, -1}, {-2, 1}, {-2, -1},
                                            {1, 2}, {1, -2}, {-1, 2}, {-1, -2}};
  for (const auto& jump : KnightJumps)
    if (At(board, f + jump[0], r + jump[1]) == knight) return true;

  static constexpr int Diagonals[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
  static constexpr int Straights[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
  return SliderAttacks(board, f, r, Diagonals, queen, bishop, king) ||
         SliderAttacks(board, f, r, Straights, queen, rook, king);
}

}  // namespace

bool TChessGame::KingAttackedAfter(Square from, Square to, bool whiteKing) const {
  Copy copy = board_;
  const int a = SquareIndex(from);
  const int b = SquareIndex(to);
  if (a >= 1 && a <= 64 && b >= 1 && b <= 64 && a != b) {
    const char mover = copy[a];
    copy[b] = mover;
    copy[a] = ' ';
    // An en passant capture also removes the pawn it takes, so that a pawn
    // pinned along its rank cannot take en passant and uncover its king.
    const bool diagonal = FileOf(from) != FileOf(to);
    if (diagonal && to == enPassant_) {
      if (mover == 'P' && RankOf(to) == 6) copy[SquareIndex(SquareOf(FileOf(to), 5))] = ' ';
      if (mover == 'p' && RankOf(to) == 3) copy[SquareIndex(SquareOf(FileOf(to), 4))] = ' ';
    }
  }

  const char kingLetter = whiteKing ? 'K' : 'k';
  for (int n = 1; n <= 64; ++n) {
    if (copy[n] != kingLetter) continue;
    const Square kingSq = SquareFromIndex(n);
    return Attacked(copy, FileOf(kingSq), RankOf(kingSq), whiteKing);
  }
  // Without a king White counts as safe and Black as attacked.
  return !whiteKing;
}

bool TChessGame::WhiteInCheckAfter(Square from, Square to) const { return KingAttackedAfter(from, to, true); }

bool TChessGame::BlackInCheckAfter(Square from, Square to) const {
  return KingAttackedAfter(from, to, false);
}

}  // namespace perch
