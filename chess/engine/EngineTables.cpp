// The engine's constant tables: the 10 x 12 mailbox frame, the piece steps,
// the castling masks, material values and the evaluation's base tables.

#include <algorithm>
#include <cstring>

#include "TChessThread.h"

using namespace engine;

namespace {

// Written as seen from White: first line the eighth rank (engine squares
// 0..7), last line the first rank (56..63).
constexpr std::int32_t kPawnTable[64] = {
    0, 0,  0,  0,   0,   0,  0,  0,  //
    5, 10, 15, 20,  20,  15, 10, 5,  //
    4, 8,  12, 16,  16,  12, 8,  4,  //
    3, 6,  9,  12,  12,  9,  6,  3,  //
    2, 4,  6,  8,   8,   6,  4,  2,  //
    1, 2,  3,  4,   4,   3,  2,  1,  //
    0, 0,  0,  -20, -20, 0,  0,  0,  //
    0, 0,  0,  0,   0,   0,  0,  0};

constexpr std::int32_t kMinorTable[64] = {
    -10, -10, -10, -10, -10, -10, -10, -10,  //
    -10, 0,   0,   0,   0,   0,   0,   -10,  //
    -10, 0,   5,   5,   5,   5,   0,   -10,  //
    -10, 0,   5,   10,  10,  5,   0,   -10,  //
    -10, 0,   5,   10,  10,  5,   0,   -10,  //
    -10, 0,   5,   5,   5,   5,   0,   -10,  //
    -10, 0,   0,   0,   0,   0,   0,   -10,  //
    -20, -20, -20, -20, -20, -20, -20, -20};

constexpr std::int32_t kKingEndTable[64] = {
    -5, -5, -5, -5, -5, -5, -5, -5,  //
    -5, 0,  0,  0,  0,  0,  0,  -5,  //
    -5, 0,  5,  5,  5,  5,  0,  -5,  //
    -5, 0,  5,  10, 10, 5,  0,  -5,  //
    -5, 0,  5,  10, 10, 5,  0,  -5,  //
    -5, 0,  5,  5,  5,  5,  0,  -5,  //
    -5, 0,  0,  0,  0,  0,  0,  -5,  //
    -5, -5, -5, -5, -5, -5, -5, -5};

constexpr std::int32_t kKingFirstRank[8] = {-10, 0, 10, -20, 0, -20, 10, 0};

constexpr std::int32_t kDirections[6][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0},
    {-21, -19, -12, -8, 8, 12, 19, 21},
    {-11, -9, 9, 11, 0, 0, 0, 0},
    {-10, -1, 1, 10, 0, 0, 0, 0},
    {-11, -10, -9, -1, 1, 9, 10, 11},
    {-11, -10, -9, -1, 1, 9, 10, 11},
};

}  // namespace

TChessThread::TChessThread() {
  InitEngineTables();
  std::memset(PieceSquare, 0, sizeof PieceSquare);
  std::fill(std::begin(MoveList), std::end(MoveList), TMoveEntry{});
  std::memset(PlyFirst, 0, sizeof PlyFirst);
  std::memset(PlyEnd, 0, sizeof PlyEnd);
  std::fill(std::begin(UndoStack), std::end(UndoStack), TUndoEntry{});
  std::memset(SavedPsqScore, 0, sizeof SavedPsqScore);
  ClearSearchMemory();
  LinkedSearchDepth = &OwnSearchDepth;
  LoadPosition();
}

void TChessThread::InitEngineTables() {
  // Material.
  const std::int32_t values[6] = {100, 300, 300, 500, 900, 0};
  std::copy(std::begin(values), std::end(values), PieceValue);

  // Mailbox: the board inside a frame two entries deep at top and bottom
  // and one wide at the sides, so that every step off the board lands on -1.
  std::fill(std::begin(Mailbox), std::end(Mailbox), -1);
  for (int s = 0; s < 64; ++s) {
    const int row = s / 8, file = s % 8;
    MailboxIndex[s] = 21 + 10 * row + file;
    Mailbox[MailboxIndex[s]] = s;
  }

  const bool slides[6] = {false, false, true, true, true, false};
  const std::int32_t counts[6] = {0, 8, 4, 4, 8, 8};
  for (int p = 0; p < 6; ++p) {
    Slides[p] = slides[p];
    DirectionCount[p] = counts[p];
    for (int d = 0; d < 8; ++d) Directions[p][d] = kDirections[p][d];
  }

  for (int s = 0; s < 64; ++s) {
    KnightReach[s] = KingReach[s] = 0;
    for (int d = 0; d < 8; ++d) {
      const int knight = Mailbox[MailboxIndex[s] + Directions[Knight][d]];
      if (knight >= 0) KnightReach[s] |= std::uint64_t{1} << knight;
      const int king = Mailbox[MailboxIndex[s] + Directions[King][d]];
      if (king >= 0) KingReach[s] |= std::uint64_t{1} << king;
      RayReach[s][d] = 0;
      for (int t = Mailbox[MailboxIndex[s] + Directions[Queen][d]]; t >= 0; t = Mailbox[MailboxIndex[t] + Directions[Queen][d]])
        RayReach[s][d] |= std::uint64_t{1} << t;
    }
  }

  // Any move from or to a king's or rook's starting square removes the
  // rights that depend on it.
  std::fill(std::begin(CastleMask), std::end(CastleMask), 15);
  CastleMask[0] = 7;    // a8
  CastleMask[4] = 3;    // e8
  CastleMask[7] = 11;   // h8
  CastleMask[56] = 13;  // a1
  CastleMask[60] = 12;  // e1
  CastleMask[63] = 14;  // h1

  // Evaluation base tables.
  for (int s = 0; s < 64; ++s) {
    const int row = s / 8, file = s % 8;
    Flip[s] = 8 * (7 - row) + file;
    PawnTable[s] = kPawnTable[s];
    MinorTable[s] = kMinorTable[s];
    KingEndTable[s] = kKingEndTable[s];
    KingMiddleTable[s] = row <= 5 ? -40 : row == 6 ? -20 : kKingFirstRank[file];
    // Pawn shields: 20 on the second rank, 10 on the third, 5 on the fourth.
    const int shield = row == 6 ? 20 : row == 5 ? 10 : row == 4 ? 5 : 0;
    KingSideShield[s] = file >= 5 ? shield : 0;
    QueenSideShield[s] = file <= 2 ? shield : 0;
  }
}

void TChessThread::ClearSearchMemory() {
  for (auto& line : BestLine) std::fill(std::begin(line), std::end(line), TEngineMove{});
  std::memset(BestLineLength, 0, sizeof BestLineLength);
  std::memset(HistoryScore, 0, sizeof HistoryScore);
  FollowBestLine = false;
}

void TChessThread::setSearchDepth(int depth) {
  OwnSearchDepth = std::clamp(depth, MinSearchDepth, MaxSearchDepth);
  LinkedSearchDepth = &OwnSearchDepth;
}
