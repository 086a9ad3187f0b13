#pragma once
// Helpers shared by the game-model tests: squares by name, positions built
// from a few pieces, moves played from text, and a log of fired events.

#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "chess/model/ChessGame.h"

inline Square Sq(const std::string& name) {
  if (name.size() != 2) return Square::None;
  return SquareOf(name[0] - 'a' + 1, name[1] - '0');
}

inline std::string NameOf(Square sq) {
  if (sq == Square::None) return "--";
  return std::string{static_cast<char>('a' + FileOf(sq) - 1), static_cast<char>('0' + RankOf(sq))};
}

inline const std::string kStartPosition =
    "rnbqkbnrpppppppp" + std::string(32, ' ') + "PPPPPPPPRNBQKBNR";

// A 64-character position string with the given pieces and blanks elsewhere.
inline std::string PositionWith(std::initializer_list<std::pair<const char*, char>> pieces) {
  std::string text(64, ' ');
  for (const auto& [name, letter] : pieces) text[SquareIndex(Sq(name)) - 1] = letter;
  return text;
}

// Plays moves written as "e2e4 e7e5 ..."; stops at the first refused one and
// returns how many were made.
inline int Play(TChessGame& game, const std::string& moves) {
  std::istringstream in(moves);
  std::string move;
  int made = 0;
  while (in >> move) {
    if (!game.MakeMove(Sq(move.substr(0, 2)), Sq(move.substr(2, 2)))) break;
    ++made;
  }
  return made;
}

inline int CountMoves(const std::string& moves) {
  std::istringstream in(moves);
  std::string move;
  int n = 0;
  while (in >> move) ++n;
  return n;
}

// Records every game event as one line of text, in firing order.
class EventLog {
 public:
  explicit EventLog(TChessGame& game, bool withDrawHandler = true) {
    game.OnLegalMove = Move("LegalMove");
    game.OnCastle = Move("Castle");
    game.OnCheck = Move("Check");
    game.OnMate = Move("Mate");
    game.OnStaleMate = Move("StaleMate");
    game.OnCapture = [this](TChessGame*, Square a, Square b, char taken) {
      lines.push_back("Capture " + NameOf(a) + NameOf(b) + " " + std::string(1, taken));
    };
    game.OnNoMatingMaterial = Notify("NoMatingMaterial");
    game.OnThreefoldPosition = Notify("Threefold");
    if (withDrawHandler) game.OnDraw = Notify("Draw");
    game.OnPaint = Notify("Paint");
  }

  std::vector<std::string> lines;

 private:
  TMoveEvent Move(std::string name) {
    return [this, name](TChessGame*, Square a, Square b) {
      lines.push_back(name + " " + NameOf(a) + NameOf(b));
    };
  }
  TNotifyEvent Notify(std::string name) {
    return [this, name](TChessGame*) { lines.push_back(name); };
  }
};
