#pragma once
// One record of the game's history: the state of one turn and the move made
// at it. An unwritten record holds an empty PositionStr, which never equals
// a position string.

#include <string>

#include "chess/model/CastleSet.h"
#include "chess/model/Square.h"

namespace perch {

struct MoveInfo {
  std::string PositionStr;
  CastleSet Castling;
  Square OldSq = Square::None;
  Square NewSq = Square::None;
  Square EnPassantSq = Square::None;
};

}  // namespace perch
