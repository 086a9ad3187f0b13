#include "companion/PointerNotice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace perch {

int DistanceTo(QRect rect, QPoint point) {
  const int dx = std::max({rect.left() - point.x(), 0, point.x() - rect.right()});
  const int dy = std::max({rect.top() - point.y(), 0, point.y() - rect.bottom()});
  return static_cast<int>(std::lround(std::hypot(dx, dy)));
}

const char* LookToward(QRect bird, QPoint point) {
  const QPoint offset = point - bird.center();
  if (std::abs(offset.x()) >= std::abs(offset.y())) return offset.x() < 0 ? "LookLeft" : "LookRight";
  return offset.y() < 0 ? "LookUp" : "LookDown";
}

TPointerWatch::TPointerWatch(std::function<std::optional<QRect>()> bird, std::function<QPoint()> pointer,
                             std::function<void(QPoint)> notice, QObject* parent)
    : QObject(parent), bird_(std::move(bird)), pointer_(std::move(pointer)), notice_(std::move(notice)) {
  timer_.setInterval(FarInterval);
  connect(&timer_, &QTimer::timeout, this, [this] { Look(std::chrono::steady_clock::now()); });
}

void TPointerWatch::Look(std::chrono::steady_clock::time_point now) {
  const std::optional<QRect> bird = bird_();
  if (!bird) {
    // Nothing to notice now; what comes after starts afresh.
    phase_ = TPhase::Unknown;
    timer_.setInterval(FarInterval);
    return;
  }
  const QPoint at = pointer_();
  const int distance = DistanceTo(*bird, at);
  const bool near = distance > 0 && distance <= NoticeDistance;
  // Gone away; or, before a notice, outside the ring or onto the bird
  // (about to click it).
  if (distance > AwayDistance || (phase_ != TPhase::Noticed && !near)) {
    phase_ = TPhase::Away;
    awayAt_ = at;
  } else if (near && phase_ == TPhase::Away && at != awayAt_) {
    // Came from away, by the pointer's own move.
    phase_ = TPhase::Coming;
    nearSince_ = now;
  } else if (phase_ == TPhase::Coming && now - nearSince_ >= Stay) {
    phase_ = TPhase::Noticed;
    if (notice_) notice_(at);
  }
  timer_.setInterval(phase_ == TPhase::Coming ? NearInterval : FarInterval);
}

}  // namespace perch
