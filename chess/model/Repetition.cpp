// The repetition test: how often the position of the current turn stood on
// the board at earlier turns of either side.

#include "chess/model/ChessGame.h"

namespace perch {

bool TChessGame::IsThreefold() const {
  const MoveInfo* reference = HistoryRecord(currentMove_, SideToMove());
  // A turn that was never recorded repeats nothing; comparing its empty
  // text would count other unrecorded turns as repetitions.
  if (reference == nullptr) return false;

  int repeats = 0;
  int move = currentMove_;
  Side side = SideToMove();
  while (true) {
    if (side == Side::Black) {
      side = Side::White;
    } else {
      --move;
      side = Side::Black;
    }
    if (move < 1) break;
    const MoveInfo* earlier = HistoryRecord(move, side);
    if (earlier != nullptr && earlier->PositionStr == reference->PositionStr && ++repeats >= 2) return true;
  }
  return false;
}

}  // namespace perch
