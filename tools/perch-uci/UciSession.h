#pragma once
// One UCI conversation: the commands of a chess program arrive one line at
// a time, the answers go to the given stream. The position lives in a game
// model, moves are made through its MakeMove, and the engine searches on
// the calling thread.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "chess/engine/TChessThread.h"
#include "chess/model/ChessGame.h"

class UciSession {
 public:
  explicit UciSession(std::ostream& out);

  // Handles one command line; false once the program is to end.
  bool Handle(const std::string& line);

 private:
  using Words = std::vector<std::string>;

  void Identify();
  void SetOption(const Words& words);
  void Position(const Words& words);
  void Go(const Words& words);
  void Search(int depth);
  void Perft(int depth);
  void Bench();
  void Display();
  void Error(const std::string& what);

  std::unique_ptr<TChessGame> NewGame();
  bool PlayMove(const std::string& text);

  std::ostream& out_;
  std::unique_ptr<TChessGame> game_;
  std::unique_ptr<TChessThread> engine_ = std::make_unique<TChessThread>();
  bool eventLog_ = false;
  // The depth of a `go` that names none (a GUI's timed game).
  int defaultDepth_ = 4;
  // The letter the promotion handler hands back for the move being made;
  // 0 keeps the game's current promotion piece.
  char promotionLetter_ = 0;
};
