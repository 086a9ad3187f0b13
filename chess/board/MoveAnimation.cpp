// The animation of a move that the user did not just drop: the piece image
// travels from square to square, one pixel per step along the leading axis,
// knights along an L. The main thread is held for the whole animation.

#include <chrono>
#include <cstdlib>
#include <thread>

#include "chess/board/DragImage.h"
#include "chess/board/TChessBrd.h"

namespace perch {

void TChessBrd::AnimateMove(Square from, Square to) {
  if (!DragImageShown()) {
    const char letter = PieceAt(from);
    const QPoint offset = HostOffset();
    const QPoint p1 = SquareOrigin(from) + offset;
    const QPoint p2 = SquareOrigin(to) + offset;
    DragImageWidget().ShowAt(pieceImageList_.Image(PieceImageIndex(letter)), p1);
    if (letter == 'N' || letter == 'n') {
      AnimateLeg(p1.x(), p2.x(), p1.y(), true);
      AnimateLeg(p1.y(), p2.y(), p2.x(), false);
    } else {
      AnimateLine(p1.x(), p1.y(), p2.x(), p2.y());
    }
  }
  // Always taken away at the end, also when a user's drag image was shown
  // and no animation played: that drag lifts its piece again at its next move.
  if (dragImage_) dragImage_->HideImage();
}

void TChessBrd::AnimationStep(int x, int y) {
  using Clock = std::chrono::steady_clock;
  DragImageWidget().MoveToNow({x, y});
  if (AnimationStepHook) AnimationStepHook({x, y});
  if (animationDelay_ <= 0) return;
  // Counted from after the image is shown, so the time from one shown step
  // to the next is always more than the delay, however long drawing takes.
  const Clock::time_point t0 = Clock::now();
  const auto delay = std::chrono::milliseconds(animationDelay_);
  while (Clock::now() - t0 <= delay) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void TChessBrd::AnimateLeg(int a, int b, int fixed, bool horizontal) {
  const int step = a < b ? 1 : -1;
  for (int v = a;; v += step) {
    if (horizontal) AnimationStep(v, fixed);
    else AnimationStep(fixed, v);
    if (v == b) break;
  }
}

void TChessBrd::AnimateLine(int x1, int y1, int x2, int y2) {
  if (x1 == x2 && y1 == y2) return;
  const int dx = x2 - x1, dy = y2 - y1;
  if (std::abs(dy) > std::abs(dx)) {
    const int step = dy > 0 ? 1 : -1;
    double x = x1;
    for (int y = y1;; y += step) {
      AnimationStep(static_cast<int>(x), y);
      if (y == y2) break;
      x += static_cast<double>(dx) / std::abs(dy);
    }
  } else {
    const int step = dx > 0 ? 1 : -1;
    double y = y1;
    for (int x = x1;; x += step) {
      AnimationStep(x, static_cast<int>(y));
      if (x == x2) break;
      y += static_cast<double>(dy) / std::abs(dx);
    }
  }
}

}  // namespace perch
