#pragma once
// Forsyth-Edwards notation for the tools around the engine (perch-uci, the
// tests and the benchmarks): reading a FEN into a game and writing a game's
// state as one, and the names of squares and engine moves.

#include <optional>
#include <string>
#include <string_view>

#include "chess/engine/EngineMove.h"
#include "chess/model/CastleSet.h"
#include "chess/model/Square.h"

namespace perch {

class TChessGame;

struct FenPosition {
  std::string position;  // 64 characters, a8 first, as the Position property holds it
  bool whiteToMove = true;
  CastleSet castling;
  Square enPassant = Square::None;
  int halfMoveClock = 0;   // plies since the last capture or pawn move
  int fullMoveNumber = 1;  // goes up after Black's move
};

// Reads a FEN; the half-move and full-move counters are optional (0 and 1
// when left out). On failure returns nothing and says why in error.
std::optional<FenPosition> ParseFen(std::string_view fen, std::string& error);

// Writes the position into a game. The en passant square of a game cannot
// be cleared from outside, so apply it to a freshly created game.
void ApplyFen(const FenPosition& fen, TChessGame& game);

// The game's state as FEN, with half-move counter 0 and the game's move number.
std::string FormatFen(const TChessGame& game);
// The position as FEN, with its own counters.
std::string FormatFen(const FenPosition& fen);

// "e4" for a square, "" for None; and back (None for anything else).
std::string SquareName(Square sq);
Square ParseSquareName(std::string_view name);

// An engine move in coordinate notation: "e2e4", "e7e8q".
std::string EngineMoveName(TEngineMove move);

}  // namespace perch
