// The limits of a rating, and the draw of the move played.

#include "apps/perch-uci/Strength.h"

#include <algorithm>
#include <cmath>

namespace perch {

Weakness WeaknessForElo(int elo) {
  elo = std::clamp(elo, MinElo, MaxElo);
  Weakness w;
  if (elo >= FullStrengthElo) return w;
  const int below = FullStrengthElo - elo;
  w.nodes = static_cast<std::uint64_t>(static_cast<double>(FullStrengthNodes) * std::exp2(-below / 100.0));
  w.marginCp = below * MarginPerHundredElo / 100;
  w.rootLines = WeakRootLines;
  return w;
}

int PickWeakLine(const std::vector<int>& scores, int marginCp, std::mt19937_64& random) {
  if (scores.empty() || marginCp <= 0) return 0;
  // Scores are best first: the candidates are a prefix.
  const auto within = std::find_if(scores.begin(), scores.end(),
                                   [&](int score) { return score < scores.front() - marginCp; });
  const auto count = static_cast<std::uint64_t>(within - scores.begin());
  return static_cast<int>(std::uniform_int_distribution<std::uint64_t>(0, count - 1)(random));
}

}  // namespace perch
