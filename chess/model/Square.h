#pragma once
// Squares of the board and the square functions every chess part shares.
//
// Squares are numbered rank by rank from Black's side: A8 = 1 ... H8 = 8,
// A7 = 9 ... H1 = 64; None = 0 is "no square".

#include <cstdint>

namespace perch {

enum class Square : std::uint8_t {
  None = 0,
  A8,
  B8,
  C8,
  D8,
  E8,
  F8,
  G8,
  H8,
  A7,
  B7,
  C7,
  D7,
  E7,
  F7,
  G7,
  H7,
  A6,
  B6,
  C6,
  D6,
  E6,
  F6,
  G6,
  H6,
  A5,
  B5,
  C5,
  D5,
  E5,
  F5,
  G5,
  H5,
  A4,
  B4,
  C4,
  D4,
  E4,
  F4,
  G4,
  H4,
  A3,
  B3,
  C3,
  D3,
  E3,
  F3,
  G3,
  H3,
  A2,
  B2,
  C2,
  D2,
  E2,
  F2,
  G2,
  H2,
  A1,
  B1,
  C1,
  D1,
  E1,
  F1,
  G1,
  H1,
};

// The square's number, 0 for None and 1..64 for the squares.
constexpr int SquareIndex(Square sq) { return static_cast<int>(sq); }

// The square of a number; anything outside 1..64 is None.
constexpr Square SquareFromIndex(int n) {
  return (n >= 1 && n <= 64) ? static_cast<Square>(n) : Square::None;
}

// File 1..8 (a..h) of a real square; 0 for None.
constexpr int FileOf(Square sq) {
  const int n = SquareIndex(sq);
  return n == 0 ? 0 : ((n - 1) % 8) + 1;
}

// Rank 1..8 of a real square; 0 for None.
constexpr int RankOf(Square sq) {
  const int n = SquareIndex(sq);
  return n == 0 ? 0 : 8 - ((n - 1) / 8);
}

// The square at file and rank 1..8; None when either lies off the board, so
// stepping off an edge can never wrap to the other side.
constexpr Square SquareOf(int file, int rank) {
  if (file < 1 || file > 8 || rank < 1 || rank > 8) return Square::None;
  return static_cast<Square>((8 - rank) * 8 + file);
}

}  // namespace perch
