#pragma once
// Castling rights: a set of CanStillCastle values held in one byte, bit 0
// WhiteKingSide, bit 1 WhiteQueenSide, bit 2 BlackKingSide, bit 3
// BlackQueenSide. The engine uses the same bits in the same order.

#include <cstdint>

namespace perch {

enum class CanStillCastle : std::uint8_t {
  WhiteKingSide = 0,
  WhiteQueenSide = 1,
  BlackKingSide = 2,
  BlackQueenSide = 3,
};

class CastleSet {
 public:
  constexpr CastleSet() = default;
  constexpr explicit CastleSet(std::uint8_t bits) : bits_(bits & 0x0F) {}
  static constexpr CastleSet All() { return CastleSet(0x0F); }

  constexpr bool Contains(CanStillCastle right) const { return bits_ & Bit(right); }
  constexpr void Include(CanStillCastle right) { bits_ |= Bit(right); }
  constexpr void Exclude(CanStillCastle right) { bits_ &= static_cast<std::uint8_t>(~Bit(right)); }
  constexpr std::uint8_t Bits() const { return bits_; }
  constexpr bool Empty() const { return bits_ == 0; }

  friend constexpr bool operator==(CastleSet, CastleSet) = default;

 private:
  static constexpr std::uint8_t Bit(CanStillCastle right) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(right));
  }
  std::uint8_t bits_ = 0;
};

}  // namespace perch
