#pragma once
// Helpers shared by the game-model tests: squares by name, boards written as
// "Ke1 ra8 ...", moves played from text, and a log of the fired events.

#include <sstream>
#include <string>
#include <utility>

#include "chess/model/ChessGame.h"

using namespace perch;

inline Square Sq(const std::string& name) {
  return name.size() == 2 ? SquareOf(name[0] - 'a' + 1, name[1] - '0') : Square::None;
}

inline std::string NameOf(Square sq) {
  if (sq == Square::None) return "--";
  return {static_cast<char>('a' + FileOf(sq) - 1), static_cast<char>('0' + RankOf(sq))};
}

inline const std::string StartPosition = "rnbqkbnrpppppppp" + std::string(32, ' ') + "PPPPPPPPRNBQKBNR";

// A position string from pieces written as letter and square: "Ke1 ra8".
inline std::string Board(const std::string& pieces) {
  std::string text(64, ' ');
  std::istringstream in(pieces);
  for (std::string p; in >> p;) text.at(SquareIndex(Sq(p.substr(1))) - 1) = p[0];
  return text;
}

// The squares of a move written as "e2e4".
inline std::pair<Square, Square> MoveOf(const std::string& move) {
  return {Sq(move.substr(0, 2)), Sq(move.substr(2, 2))};
}

// Plays moves written as "e2e4 e7e5 ..."; false when one is refused, which
// ends the play.
inline bool Play(TChessGame& game, const std::string& moves) {
  std::istringstream in(moves);
  for (std::string m; in >> m;)
    if (!game.MakeMove(MoveOf(m).first, MoveOf(m).second)) return false;
  return true;
}

// Side to move, move number, en passant square and castling rights.
inline std::string State(const TChessGame& game) {
  return std::string(game.WhiteToMove() ? "white " : "black ") + std::to_string(game.CurrentMove()) + " " +
         NameOf(game.EnPassant()) + " " + std::to_string(game.CastlingAllowed().Bits());
}

// Records lines such as "LegalMove e2e4|Capture e2e4 p|Paint", in firing order.
struct Recorder {
  void Add(const std::string& line) { text += (text.empty() ? "" : "|") + line; }
  std::string Take() { return std::exchange(text, {}); }
  std::string text;
};

// A recorder of every game event.
struct EventLog : Recorder {
  explicit EventLog(TChessGame& game) {
    const auto move = [this](std::string name) {
      return [this, name](TChessGame*, Square a, Square b) { Add(name + " " + NameOf(a) + NameOf(b)); };
    };
    const auto notify = [this](std::string name) { return [this, name](TChessGame*) { Add(name); }; };
    game.OnLegalMove = move("LegalMove");
    game.OnCastle = move("Castle");
    game.OnCheck = move("Check");
    game.OnMate = move("Mate");
    game.OnStaleMate = move("StaleMate");
    game.OnCapture = [this](TChessGame*, Square a, Square b, char taken) {
      Add("Capture " + NameOf(a) + NameOf(b) + " " + taken);
    };
    game.OnNoMatingMaterial = notify("NoMatingMaterial");
    game.OnThreefoldPosition = notify("Threefold");
    game.OnDraw = notify("Draw");
    game.OnPaint = notify("Paint");
  }
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;
};
