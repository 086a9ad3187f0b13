#pragma once
// The small interface through which the game model reaches its view and its
// engine. A board control fills it in; with none attached every hook is a
// no-op and the model runs on its own (tests, tools, the UCI front end).

#include "chess/model/Square.h"

namespace perch {

class TChessGameHooks {
 public:
  virtual ~TChessGameHooks() = default;

  // Engine: stop a running search and park the engine thread (returns only
  // once it is parked); release it again; clear the hold a user's move set.
  virtual void StopThinking() {}
  virtual void StartThinking() {}
  virtual void ReleaseEngineHold() {}
  // A move was made: a released engine looks whether it is now to move.
  virtual void MoveMade() {}

  // View: the full paint, one square's background, the piece on a square,
  // the grid lines.
  virtual void PaintAll() {}
  virtual void PaintSquare(Square) {}
  virtual void DrawPiece(Square) {}
  virtual void PaintBoardLines() {}

  // Animation of a move that was not just dropped by the user.
  virtual bool AnimateMoves() const { return false; }
  virtual void AnimateMove(Square /*from*/, Square /*to*/) {}
  // The origin of the last drag and the square of the last accepted drop.
  virtual Square DragFromSquare() const { return Square::None; }
  virtual Square DropSquare() const { return Square::None; }
};

}  // namespace perch
