// Static evaluation: piece-square values with material folded in, built
// once per search from the root position, plus pawn-structure and rook
// terms. Scores are in hundredths of a pawn for the side to move.

#include <bit>
#include <cstring>

#include "TChessThread.h"

using namespace engine;

void TChessThread::BuildPieceSquareTables() {
  std::memset(PieceSquare, 0, sizeof PieceSquare);
  for (int side = White; side <= Black; ++side) {
    for (int s = 0; s < 64; ++s) {
      const int m = side == White ? s : Flip[s];
      PieceSquare[side][Pawn][s] = PawnTable[m] + PieceValue[Pawn];
      PieceSquare[side][Knight][s] = MinorTable[m] + PieceValue[Knight];
      PieceSquare[side][Bishop][s] = MinorTable[m] + PieceValue[Bishop];
      PieceSquare[side][Rook][s] = PieceValue[Rook];
      PieceSquare[side][Queen][s] = PieceValue[Queen];
    }
  }

  for (int side = White; side <= Black; ++side) {
    const int enemy = side ^ 1;
    int enemyMaterial = 0;
    for (int piece = Knight; piece <= Queen; ++piece)
      enemyMaterial += PieceValue[piece] * std::popcount(PieceBits[enemy][piece]);

    const std::uint64_t kings = PieceBits[side][King];
    if (enemyMaterial > 1400) {
      for (int s = 0; s < 64; ++s)
        PieceSquare[side][King][s] = KingMiddleTable[side == White ? s : Flip[s]];
      // The highest-numbered king decides the wing; a side without a king
      // gets no shield.
      if (kings) {
        const int kingFile = (63 - std::countl_zero(kings)) % 8;
        const std::int32_t* shield = kingFile >= 5 ? KingSideShield : kingFile <= 2 ? QueenSideShield : nullptr;
        if (shield)
          for (int s = 0; s < 64; ++s) PieceSquare[side][Pawn][s] += shield[side == White ? s : Flip[s]];
      }
    } else {
      for (int s = 0; s < 64; ++s) PieceSquare[side][King][s] = KingEndTable[side == White ? s : Flip[s]];
    }
  }
  RecomputePsqScore();
}

int TChessThread::Evaluate() const {
  // Pawns per file, at index file + 1 so the outer files need no test.
  int pawnsOnFile[2][10] = {};
  for (int side = White; side <= Black; ++side)
    for (std::uint64_t pawns = PieceBits[side][Pawn]; pawns; pawns &= pawns - 1)
      ++pawnsOnFile[side][std::countr_zero(pawns) % 8 + 1];

  int score[2] = {PsqScore[White], PsqScore[Black]};
  for (int c = White; c <= Black; ++c) {
    const int o = c ^ 1;
    const int* own = pawnsOnFile[c];
    const int* enemy = pawnsOnFile[o];
    for (std::uint64_t pawns = PieceBits[c][Pawn]; pawns; pawns &= pawns - 1) {
      const int s = std::countr_zero(pawns);
      const int f = s % 8;
      if (own[f + 1] > 1) score[c] -= 5;
      if (own[f] == 0 && own[f + 2] == 0) {
        score[c] -= 20;
        if (enemy[f + 1] == 0) score[c] -= 10;
      }
      if (enemy[f] == 0 && enemy[f + 1] == 0 && enemy[f + 2] == 0) score[c] += 2 * PieceSquare[c][Pawn][s];
    }
    for (std::uint64_t rooks = PieceBits[c][Rook]; rooks; rooks &= rooks - 1) {
      const int f = std::countr_zero(rooks) % 8;
      if (own[f + 1] == 0) {
        score[c] += 10;
        if (enemy[f + 1] == 0) score[c] += 5;
      }
    }
  }
  return score[SideToMove] - score[OtherSide];
}
