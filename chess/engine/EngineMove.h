#pragma once
// The engine's move record and move-list entry.
//
// A move is four bytes (from, to, promote, flags) that are stored and copied
// as one 32-bit unit. Squares are engine squares 0..63 (a8 = 0, h1 = 63).

#include <cstdint>

namespace perch {

namespace engine {

// Side codes and piece codes of the engine board.
inline constexpr int White = 0;
inline constexpr int Black = 1;
inline constexpr int Empty = 6;

inline constexpr int Pawn = 0;
inline constexpr int Knight = 1;
inline constexpr int Bishop = 2;
inline constexpr int Rook = 3;
inline constexpr int Queen = 4;
inline constexpr int King = 5;

// Move flags, combined as a bit set.
inline constexpr std::uint8_t FlagCapture = 1;
inline constexpr std::uint8_t FlagCastle = 2;
inline constexpr std::uint8_t FlagEnPassant = 4;
inline constexpr std::uint8_t FlagDoubleStep = 8;
inline constexpr std::uint8_t FlagPawnMove = 16;
inline constexpr std::uint8_t FlagPromotion = 32;

}  // namespace engine

struct TEngineMove {
  std::uint8_t from = 0;
  std::uint8_t to = 0;
  std::uint8_t promote = 0;
  std::uint8_t flags = 0;

  friend constexpr bool operator==(TEngineMove, TEngineMove) = default;
};
static_assert(sizeof(TEngineMove) == 4, "a move is one 32-bit unit");

struct TMoveEntry {
  TEngineMove move;
  std::int32_t score = 0;  // ordering score
};

}  // namespace perch
