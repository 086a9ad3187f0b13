#pragma once
// The bird notices the pointer: when the pointer comes within about 150
// pixels of it (not onto it: a pointer on the bird is about to click or
// drag it) and stays a moment, the bird is told once where it is. The
// pointer is looked at twice a second while it is far, ten times while it
// is near; a pointer that never moved, or a bird that came to it, is not
// noticed, and after a notice the pointer has to go away before the next.

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

namespace perch {

// How far a point lies from a rectangle (0 inside it), in pixels.
int DistanceTo(QRect rect, QPoint point);

// The bird's look toward a point: "LookLeft", "LookRight", "LookUp" or
// "LookDown", by the larger of the two offsets from its centre.
const char* LookToward(QRect bird, QPoint point);

class TPointerWatch : public QObject {
  Q_OBJECT
 public:
  static constexpr int NoticeDistance = 150;
  // Beyond this the pointer has gone away (a little more than the above, so
  // that a pointer on the line does not come and go).
  static constexpr int AwayDistance = 190;
  static constexpr std::chrono::milliseconds FarInterval{500};
  static constexpr std::chrono::milliseconds NearInterval{100};
  static constexpr std::chrono::milliseconds Stay{600};

  // `bird`: the bird's rectangle, nothing while it is not to notice (a
  // routine runs, no bird). `pointer`: where the pointer is. `notice`: told
  // the pointer's place once it stayed.
  TPointerWatch(std::function<std::optional<QRect>()> bird, std::function<QPoint()> pointer,
                std::function<void(QPoint)> notice, QObject* parent = nullptr);

  void Start() { timer_.start(); }
  // One look at the pointer, at `now` (the timer's ticks call it).
  void Look(std::chrono::steady_clock::time_point now);
  std::chrono::milliseconds Interval() const { return std::chrono::milliseconds(timer_.interval()); }

 private:
  enum class TPhase { Unknown, Away, Coming, Noticed };
  std::function<std::optional<QRect>()> bird_;
  std::function<QPoint()> pointer_;
  std::function<void(QPoint)> notice_;
  TPhase phase_ = TPhase::Unknown;
  QPoint awayAt_;  // where the pointer was last seen away
  std::chrono::steady_clock::time_point nearSince_;
  QTimer timer_;
};

}  // namespace perch
