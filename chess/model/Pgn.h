#pragma once
// A game written in Portable Game Notation: the seven-tag roster, the moves
// in standard algebraic notation with their numbers, lines shorter than 80
// columns, and the result. A game that did not begin at the starting
// position also carries SetUp and FEN tags.

#include <string>
#include <string_view>

#include "chess/model/ChessGame.h"

namespace perch {

// Empty tags are written as PGN's "unknown": "?", and "????.??.??" for the
// date (whose form is "2026.12.10").
struct TPgnTags {
  std::string event, site, date, round, white, black;
};

// The moves of the game's history, from its first recorded turn to the
// current one. result is one of "1-0", "0-1", "1/2-1/2" and "*"; anything
// else is written as "*".
std::string GamePgn(const TChessGame& game, const TPgnTags& tags, std::string_view result);

// The standard algebraic notation of a move in the game's current position
// ("Nbd7", "exd6", "O-O", "e8=Q+", "Qh4#"); promotion is the letter a pawn
// reaching its last rank becomes (any case; the queen when it is none of
// "qrbn"). Empty when the move is not legal there.
std::string MoveSan(const TChessGame& game, Square from, Square to, char promotion = 'q');

}  // namespace perch
