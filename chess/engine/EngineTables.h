#pragma once
// The engine's constant tables: the 10 x 12 mailbox frame, the piece steps
// and the reach they give each square, the castling masks, material values
// and the evaluation's base tables. Built at compile time; every engine
// reads the one instance, engine::Tables.

#include <cstdint>

#include "chess/engine/EngineMove.h"

namespace perch {

class TEngineTables {
 public:
  constexpr TEngineTables();

  // --- geometry ---------------------------------------------------------------
  // The engine square at a mailbox index, -1 off the board.
  constexpr int Mailbox(int index) const { return mailbox_[index]; }
  constexpr int MailboxIndex(int square) const { return mailboxIndex_[square]; }
  constexpr bool Slides(int piece) const { return slides_[piece]; }
  constexpr int DirectionCount(int piece) const { return directionCount_[piece]; }
  // The mailbox step of a piece's direction d.
  constexpr int Directions(int piece, int d) const { return directions_[piece][d]; }
  // The squares a knight or king on the square reaches, and the squares
  // along queen step d (in the order of Directions(Queen, d)) up to the edge.
  constexpr std::uint64_t KnightReach(int square) const { return knightReach_[square]; }
  constexpr std::uint64_t KingReach(int square) const { return kingReach_[square]; }
  constexpr std::uint64_t RayReach(int square, int d) const { return rayReach_[square][d]; }
  // The castling rights that survive a move from or to the square.
  constexpr int CastleMask(int square) const { return castleMask_[square]; }

  // --- material and evaluation base tables --------------------------------------
  constexpr int PieceValue(int piece) const { return pieceValue_[piece]; }
  // The square seen from the other side (a8 <-> a1).
  constexpr int Flip(int square) const { return flip_[square]; }
  // Written as seen from White.
  constexpr int PawnTable(int square) const { return pawnTable_[square]; }
  constexpr int MinorTable(int square) const { return minorTable_[square]; }
  constexpr int KingMiddleTable(int square) const { return kingMiddleTable_[square]; }
  constexpr int KingEndTable(int square) const { return kingEndTable_[square]; }
  constexpr int KingSideShield(int square) const { return kingSideShield_[square]; }
  constexpr int QueenSideShield(int square) const { return queenSideShield_[square]; }

 private:
  std::int32_t mailbox_[120]{};
  std::int32_t mailboxIndex_[64]{};
  bool slides_[6]{};
  std::int32_t directionCount_[6]{};
  std::int32_t directions_[6][8]{};
  std::uint64_t knightReach_[64]{};
  std::uint64_t kingReach_[64]{};
  std::uint64_t rayReach_[64][8]{};
  std::int32_t castleMask_[64]{};
  std::int32_t pieceValue_[6]{};
  std::int32_t flip_[64]{};
  std::int32_t pawnTable_[64]{};
  std::int32_t minorTable_[64]{};
  std::int32_t kingMiddleTable_[64]{};
  std::int32_t kingEndTable_[64]{};
  std::int32_t kingSideShield_[64]{};
  std::int32_t queenSideShield_[64]{};
};

namespace engine {

namespace tables_detail {

// Written as seen from White: first line the eighth rank (engine squares
// 0..7), last line the first rank (56..63).
inline constexpr std::int32_t PawnTable[64] = {0, 0,  0,  0,   0,   0,  0,  0,  //
                                               5, 10, 15, 20,  20,  15, 10, 5,  //
                                               4, 8,  12, 16,  16,  12, 8,  4,  //
                                               3, 6,  9,  12,  12,  9,  6,  3,  //
                                               2, 4,  6,  8,   8,   6,  4,  2,  //
                                               1, 2,  3,  4,   4,   3,  2,  1,  //
                                               0, 0,  0,  -20, -20, 0,  0,  0,  //
                                               0, 0,  0,  0,   0,   0,  0,  0};

inline constexpr std::int32_t MinorTable[64] = {-10, -10, -10, -10, -10, -10, -10, -10,  //
                                                -10, 0,   0,   0,   0,   0,   0,   -10,  //
                                                -10, 0,   5,   5,   5,   5,   0,   -10,  //
                                                -10, 0,   5,   10,  10,  5,   0,   -10,  //
                                                -10, 0,   5,   10,  10,  5,   0,   -10,  //
                                                -10, 0,   5,   5,   5,   5,   0,   -10,  //
                                                -10, 0,   0,   0,   0,   0,   0,   -10,  //
                                                -20, -20, -20, -20, -20, -20, -20, -20};

inline constexpr std::int32_t KingEndTable[64] = {-5, -5, -5, -5, -5, -5, -5, -5,  //
                                                  -5, 0,  0,  0,  0,  0,  0,  -5,  //
                                                  -5, 0,  5,  5,  5,  5,  0,  -5,  //
                                                  -5, 0,  5,  10, 10, 5,  0,  -5,  //
                                                  -5, 0,  5,  10, 10, 5,  0,  -5,  //
                                                  -5, 0,  5,  5,  5,  5,  0,  -5,  //
                                                  -5, 0,  0,  0,  0,  0,  0,  -5,  //
                                                  -5, -5, -5, -5, -5, -5, -5, -5};

inline constexpr std::int32_t KingFirstRank[8] = {-10, 0, 10, -20, 0, -20, 10, 0};

inline constexpr std::int32_t Directions[6][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0},     {-21, -19, -12, -8, 8, 12, 19, 21}, {-11, -9, 9, 11, 0, 0, 0, 0},
    {-10, -1, 1, 10, 0, 0, 0, 0}, {-11, -10, -9, -1, 1, 9, 10, 11},   {-11, -10, -9, -1, 1, 9, 10, 11},
};

}  // namespace tables_detail

}  // namespace engine

constexpr TEngineTables::TEngineTables() {
  namespace d = engine::tables_detail;
  using namespace engine;

  const std::int32_t values[6] = {100, 300, 300, 500, 900, 0};
  for (int p = 0; p < 6; ++p) pieceValue_[p] = values[p];

  // Mailbox: the board inside a frame two entries deep at top and bottom
  // and one wide at the sides, so that every step off the board lands on -1.
  for (int& entry : mailbox_) entry = -1;
  for (int s = 0; s < 64; ++s) {
    const int row = s / 8, file = s % 8;
    mailboxIndex_[s] = 21 + 10 * row + file;
    mailbox_[mailboxIndex_[s]] = s;
  }

  const bool slides[6] = {false, false, true, true, true, false};
  const std::int32_t counts[6] = {0, 8, 4, 4, 8, 8};
  for (int p = 0; p < 6; ++p) {
    slides_[p] = slides[p];
    directionCount_[p] = counts[p];
    for (int dir = 0; dir < 8; ++dir) directions_[p][dir] = d::Directions[p][dir];
  }

  for (int s = 0; s < 64; ++s) {
    for (int dir = 0; dir < 8; ++dir) {
      const int knight = mailbox_[mailboxIndex_[s] + directions_[Knight][dir]];
      if (knight >= 0) knightReach_[s] |= std::uint64_t{1} << knight;
      const int king = mailbox_[mailboxIndex_[s] + directions_[King][dir]];
      if (king >= 0) kingReach_[s] |= std::uint64_t{1} << king;
      for (int t = mailbox_[mailboxIndex_[s] + directions_[Queen][dir]]; t >= 0;
           t = mailbox_[mailboxIndex_[t] + directions_[Queen][dir]])
        rayReach_[s][dir] |= std::uint64_t{1} << t;
    }
  }

  // Any move from or to a king's or rook's starting square removes the
  // rights that depend on it.
  for (int& mask : castleMask_) mask = 15;
  castleMask_[0] = 7;    // a8
  castleMask_[4] = 3;    // e8
  castleMask_[7] = 11;   // h8
  castleMask_[56] = 13;  // a1
  castleMask_[60] = 12;  // e1
  castleMask_[63] = 14;  // h1

  for (int s = 0; s < 64; ++s) {
    const int row = s / 8, file = s % 8;
    flip_[s] = 8 * (7 - row) + file;
    pawnTable_[s] = d::PawnTable[s];
    minorTable_[s] = d::MinorTable[s];
    kingEndTable_[s] = d::KingEndTable[s];
    kingMiddleTable_[s] = row <= 5 ? -40 : row == 6 ? -20 : d::KingFirstRank[file];
    // Pawn shields: 20 on the second rank, 10 on the third, 5 on the fourth.
    const int shield = row == 6 ? 20 : row == 5 ? 10 : row == 4 ? 5 : 0;
    kingSideShield_[s] = file >= 5 ? shield : 0;
    queenSideShield_[s] = file <= 2 ? shield : 0;
  }
}

namespace engine {
inline constexpr TEngineTables Tables;
}  // namespace engine

}  // namespace perch
