#pragma once
// The chess program's game as the rules of chess have it. Its moves are
// checked and made on the engine's board, whose rules are those of chess:
// a castling right goes when its king or rook leaves its square or the rook
// is taken there, and every legal move is played whatever came before (the
// chess program rules on draws; nothing here counts repetitions).
//
// The half-move clock is the one the FEN gave, back to 0 after a capture or
// a pawn move; the move number goes up after each of Black's moves.

#include <string_view>

#include "chess/engine/Fen.h"
#include "chess/engine/TChessThread.h"

namespace perch {

// Plays a move in coordinate notation ("e2e4", "e7e8q") on the position
// and returns true, or returns false and leaves the position as it was when
// the move is not legal there. A promotion without a letter becomes
// `promotion` (a lower-case letter of nbrq). The engine is used for the
// test and is left linked to no game.
bool PlayUciMove(TChessThread& engine, FenPosition& position, std::string_view move, char promotion);

}  // namespace perch
