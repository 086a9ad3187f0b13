// The engine's links, its depth and loading its board.

#include "chess/engine/TChessThread.h"

#include <algorithm>

namespace perch {

TChessThread::TChessThread() : varyRandom_(std::random_device{}()) {
  linkedSearchDepth_ = &ownSearchDepth_;
  LoadPosition();
}

void TChessThread::setSearchDepth(int depth) {
  ownSearchDepth_ = std::clamp(depth, MinSearchDepth, MaxSearchDepth);
  linkedSearchDepth_ = &ownSearchDepth_;
}

void TChessThread::LoadPosition() {
  position_.Load(linkedGame_);
  search_.StartRootMoves();
}

void TChessThread::StartAtRoot() {
  position_.MakeRoot();
  search_.StartRootMoves();
}

}  // namespace perch
