#pragma once
// The sides of the border on which the board shows its coordinates: a set
// held in one byte, bit 0 West (rank numbers on the left), bit 1 North (file
// letters above), bit 2 East, bit 3 South.

#include <cstdint>
#include <initializer_list>

namespace perch {

enum class DisplayCoords : std::uint8_t { West = 0, North = 1, East = 2, South = 3 };

class CoordSet {
 public:
  constexpr CoordSet() = default;
  constexpr explicit CoordSet(std::uint8_t bits) : bits_(bits & 0x0F) {}
  constexpr CoordSet(std::initializer_list<DisplayCoords> sides) {
    for (DisplayCoords s : sides) Include(s);
  }

  constexpr bool Contains(DisplayCoords side) const { return bits_ & Bit(side); }
  constexpr void Include(DisplayCoords side) { bits_ |= Bit(side); }
  constexpr void Exclude(DisplayCoords side) { bits_ &= static_cast<std::uint8_t>(~Bit(side)); }
  constexpr std::uint8_t Bits() const { return bits_; }
  constexpr bool Empty() const { return bits_ == 0; }

  friend constexpr bool operator==(CoordSet, CoordSet) = default;

 private:
  static constexpr std::uint8_t Bit(DisplayCoords side) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(side));
  }
  std::uint8_t bits_ = 0;
};

}  // namespace perch
