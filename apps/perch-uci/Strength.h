#pragma once
// Playing below full strength, for UCI_LimitStrength and UCI_Elo.
//
// A rating sets three things: a node limit per move, so that the search
// sees less the lower the rating; a margin in centipawns, within which the
// move played is drawn at random among the best root moves; and how many
// root moves are scored exactly for that draw. Each 100 points below
// FullStrengthElo halve the nodes (from FullStrengthNodes), and the margin
// grows by MarginPerHundredElo per 100 points. At FullStrengthElo and above
// nothing is limited. The figures come from games against Stockfish at its
// own UCI_Elo (apps/perch-uci/bench/uci_match.py).

#include <cstdint>
#include <random>
#include <vector>

namespace perch {

inline constexpr int MinElo = 800;
inline constexpr int MaxElo = 1500;
inline constexpr int DefaultElo = 1500;
inline constexpr int FullStrengthElo = MaxElo;
inline constexpr std::uint64_t FullStrengthNodes = 1'000'000;
inline constexpr int MarginPerHundredElo = 30;
inline constexpr int WeakRootLines = 8;

struct Weakness {
  std::uint64_t nodes = ~std::uint64_t{0};
  int marginCp = 0;
  int rootLines = 1;
};

// The limits for a rating, clamped to MinElo..MaxElo.
Weakness WeaknessForElo(int elo);

// Of root moves scored best first, the index of one drawn at random among
// those within `marginCp` of the best (0 when there is none or the margin is 0).
int PickWeakLine(const std::vector<int>& scores, int marginCp, std::mt19937_64& random);

}  // namespace perch
