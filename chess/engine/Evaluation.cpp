// Static evaluation: piece-square values with material folded in, built
// once per search from the root position, plus pawn-structure and rook
// terms. Scores are in hundredths of a pawn for the side to move.

#include <bit>
#include <cstring>

#include "chess/engine/EnginePosition.h"

namespace perch {

using namespace engine;

void TEnginePosition::BuildPieceSquareTables() {
  std::memset(pieceSquare_, 0, sizeof pieceSquare_);
  for (int side = White; side <= Black; ++side) {
    for (int s = 0; s < 64; ++s) {
      const int m = side == White ? s : Tables.Flip(s);
      pieceSquare_[side][Pawn][s] = Tables.PawnTable(m) + Tables.PieceValue(Pawn);
      pieceSquare_[side][Knight][s] = Tables.MinorTable(m) + Tables.PieceValue(Knight);
      pieceSquare_[side][Bishop][s] = Tables.MinorTable(m) + Tables.PieceValue(Bishop);
      pieceSquare_[side][Rook][s] = Tables.PieceValue(Rook);
      pieceSquare_[side][Queen][s] = Tables.PieceValue(Queen);
    }
  }

  for (int side = White; side <= Black; ++side) {
    const int enemy = side ^ 1;
    int enemyMaterial = 0;
    for (int piece = Knight; piece <= Queen; ++piece)
      enemyMaterial += Tables.PieceValue(piece) * std::popcount(pieceBits_[enemy][piece]);

    const std::uint64_t kings = pieceBits_[side][King];
    if (enemyMaterial > 1400) {
      for (int s = 0; s < 64; ++s)
        pieceSquare_[side][King][s] = Tables.KingMiddleTable(side == White ? s : Tables.Flip(s));
      // The highest-numbered king decides the wing; a side without a king
      // gets no shield.
      if (kings) {
        const int kingFile = (63 - std::countl_zero(kings)) % 8;
        if (kingFile >= 5 || kingFile <= 2) {
          for (int s = 0; s < 64; ++s) {
            const int m = side == White ? s : Tables.Flip(s);
            pieceSquare_[side][Pawn][s] +=
                kingFile >= 5 ? Tables.KingSideShield(m) : Tables.QueenSideShield(m);
          }
        }
      }
    } else {
      for (int s = 0; s < 64; ++s)
        pieceSquare_[side][King][s] = Tables.KingEndTable(side == White ? s : Tables.Flip(s));
    }
  }
  RecomputePsqScore();
}

int TEnginePosition::Evaluate() const {
  // Pawns per file, at index file + 1 so the outer files need no test.
  int pawnsOnFile[2][10] = {};
  for (int side = White; side <= Black; ++side)
    for (std::uint64_t pawns = pieceBits_[side][Pawn]; pawns; pawns &= pawns - 1)
      ++pawnsOnFile[side][std::countr_zero(pawns) % 8 + 1];

  int score[2] = {psqScore_[White], psqScore_[Black]};
  for (int c = White; c <= Black; ++c) {
    const int o = c ^ 1;
    const int* own = pawnsOnFile[c];
    const int* enemy = pawnsOnFile[o];
    for (std::uint64_t pawns = pieceBits_[c][Pawn]; pawns; pawns &= pawns - 1) {
      const int s = std::countr_zero(pawns);
      const int f = s % 8;
      if (own[f + 1] > 1) score[c] -= 5;
      if (own[f] == 0 && own[f + 2] == 0) {
        score[c] -= 20;
        if (enemy[f + 1] == 0) score[c] -= 10;
      }
      if (enemy[f] == 0 && enemy[f + 1] == 0 && enemy[f + 2] == 0) score[c] += 2 * pieceSquare_[c][Pawn][s];
    }
    for (std::uint64_t rooks = pieceBits_[c][Rook]; rooks; rooks &= rooks - 1) {
      const int f = std::countr_zero(rooks) % 8;
      if (own[f + 1] == 0) {
        score[c] += 10;
        if (enemy[f + 1] == 0) score[c] += 5;
      }
    }
  }
  return score[sideToMove_] - score[otherSide_];
}

}  // namespace perch
