#pragma once
// Whether a game of chess can reach the position loaded into an engine,
// judged by the plain tests a chess program makes on a FEN it is given.

#include <string>

#include "chess/engine/Fen.h"
#include "chess/engine/TChessThread.h"

namespace perch {

// "" when the position passes every test, else what is wrong with it, as a
// short phrase ("black has no king", "white pawn on h8", ...). The engine
// holds the FEN's position as LoadPosition filled it in; castling rights and
// the en passant square are the FEN's own, which LoadPosition would drop
// where they cannot be used.
std::string UnreachablePositionFault(const TChessThread& loaded, const FenPosition& fen);

}  // namespace perch
