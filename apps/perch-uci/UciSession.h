#pragma once
// One UCI conversation: the commands of a chess program arrive one line at
// a time, the answers go to the given stream. The position follows the rules
// of chess (UciPosition); a game model mirrors it, for the engine to read and
// for its events: each move is also offered to the model's MakeMove, and
// where the model, whose rules are the board's, refuses it or ends in
// another state, the model is set up afresh from the position. A `go` searches on a
// thread of its own (UciSearch), so that stop, ponderhit, isready and quit
// are read and answered while it runs; every other command first ends the
// search under way. A `go perft` runs on the same thread; the commands that
// need the engine wait for its count, and stop or quit cut it short.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "apps/perch-uci/Strength.h"
#include "apps/perch-uci/UciOutput.h"
#include "apps/perch-uci/UciSearch.h"
#include "chess/engine/Fen.h"
#include "chess/engine/TChessThread.h"
#include "chess/model/ChessGame.h"

namespace perch {

class UciSession {
 public:
  explicit UciSession(std::ostream& out);
  ~UciSession();

  // Handles one command line; false once the program is to end.
  bool Handle(const std::string& line);
  // Until the search under way, if any, has written its best move.
  void WaitForSearch();
  // The input has ended: a search that would wait for stop is stopped, any
  // other runs to its end.
  void EndOfInput();
  // "info string error: <what>".
  void Error(const std::string& what);

 private:
  using Words = std::vector<std::string>;

  void Identify();
  void SetOption(const Words& words);
  void Position(const Words& words);
  void Go(const Words& words);
  // The legal root moves among those named; the others are named in an info string.
  std::vector<TEngineMove> SearchMoves(const Words& names);
  // A number for a spin option, clamped to its range with an info string
  // when it lies outside; false (with an error) when it is no number.
  bool SpinValue(const std::string& option, const std::string& text, int min, int max, int& value);
  void Perft(int depth);
  void Bench();
  void Display();
  void Info(const std::string& what);
  // Stops the search or perft under way, and waits for its answer.
  void EndSearch();
  // The same for a search; a perft is let finish: only stop and quit cut
  // one short, so that a script may pipe perft after perft.
  void EndSearchOrPerft();

  std::unique_ptr<TChessGame> NewGame();
  bool PlayMove(const std::string& text);
  // The model set up afresh from position_.
  void RebuildGame();

  UciOutput out_;
  // The game under the rules of chess, with its counters.
  FenPosition position_;
  std::unique_ptr<TChessGame> game_;
  std::unique_ptr<TChessThread> engine_ = std::make_unique<TChessThread>();
  UciSearch search_{*engine_, out_};
  bool eventLog_ = false;
  // The depth of a `go` that sets no limit.
  int defaultDepth_ = 4;
  // Milliseconds kept back from every move for the chess program's own lag.
  int moveOverhead_ = 30;
  // The lines a search reports, best first.
  int multiPv_ = 1;
  // Play below full strength, at elo_ (see Strength.h).
  bool limitStrength_ = false;
  int elo_ = DefaultElo;
  // The letter the promotion handler hands back for the move being made;
  // 0 keeps the game's current promotion piece.
  char promotionLetter_ = 0;
};

}  // namespace perch
