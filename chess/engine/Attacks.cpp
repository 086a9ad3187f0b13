// Attack tests. They look outward from the attacked square, which finds the
// same attackers as walking every piece of the attacking side towards it.

#include <bit>

#include "chess/engine/EnginePosition.h"

namespace perch {

using namespace engine;

bool TEnginePosition::SquareAttacked(int square, int bySide) const {
  const int m = Tables.MailboxIndex(square);
  auto pawnOn = [&](int t) { return t >= 0 && squareSide_[t] == bySide && squarePiece_[t] == Pawn; };

  // A White pawn attacks up-left and up-right, so it stands down-right or
  // down-left of its target; a Black pawn the other way round.
  if (bySide == White) {
    if (pawnOn(Tables.Mailbox(m + 9)) || pawnOn(Tables.Mailbox(m + 11))) return true;
  } else {
    if (pawnOn(Tables.Mailbox(m - 9)) || pawnOn(Tables.Mailbox(m - 11))) return true;
  }
  if (Tables.KnightReach(square) & pieceBits_[bySide][Knight]) return true;
  if (Tables.KingReach(square) & pieceBits_[bySide][King]) return true;

  // Sliders: the nearest piece along each queen step attacks if it moves
  // along that line. The steps of Directions[Queen] (-11, -10, -9, -1, 1,
  // 9, 10, 11) lead to lower square numbers for 0..3 and higher for 4..7.
  constexpr bool Straight[8] = {false, true, false, true, true, false, true, false};
  const std::uint64_t queens = pieceBits_[bySide][Queen];
  const std::uint64_t diagonal = pieceBits_[bySide][Bishop] | queens;
  const std::uint64_t straight = pieceBits_[bySide][Rook] | queens;
  if (!(diagonal | straight)) return false;
  const std::uint64_t occupied = Occupied();
  for (int d = 0; d < 8; ++d) {
    const std::uint64_t ray = Tables.RayReach(square, d);
    const std::uint64_t candidates = ray & (Straight[d] ? straight : diagonal);
    if (!candidates) continue;
    const std::uint64_t blockers = ray & occupied;
    const int nearest = d < 4 ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers);
    if (candidates & (std::uint64_t{1} << nearest)) return true;
  }
  return false;
}

bool TEnginePosition::KingAttacked(int side) const {
  // The lowest-numbered king of the side counts.
  const std::uint64_t kings = pieceBits_[side][King];
  if (!kings) return false;
  return SquareAttacked(std::countr_zero(kings), side ^ 1);
}

}  // namespace perch
