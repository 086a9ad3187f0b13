// The character's frames kept once painted: what the window shows is what
// painting the vectors would show, pixel for pixel; its shape follows each
// frame's outline and is sent only when that outline changes; the animation
// clock wakes only where a pose changes.

#include "agent/CharacterFile.h"
#include "agent/CharacterFrames.h"
#include "agent/CharacterPainter.h"
#include "agent/CharacterWindow.h"

#include <QBitmap>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

using namespace perch;

namespace {

const TCharacterDef& Bird() {
  static const TCharacterDef bird = LoadCharacterFile(ResolveCharacterFile("bird.chr"));
  return bird;
}

// Poses of an animation from its start to its end, a few each.
std::vector<TPose> SamplePoses(const TCharacterDef& character, const TAnimationDef& animation) {
  std::vector<TPose> poses;
  const int count = 3;
  for (int i = 0; i <= count; ++i)
    poses.push_back(
        EvaluateAnimation(character, animation, std::round(animation.durationMs * i / count / 20) * 20));
  return poses;
}

// How the window painted a pose before frames were kept: the background,
// then the vectors straight onto it.
QImage PaintedFromVectors(const TPose& pose, double scale, bool translucent) {
  const TCharacterDef& bird = Bird();
  QImage image(static_cast<int>(std::ceil(bird.size.width() * scale)),
               static_cast<int>(std::ceil(bird.size.height() * scale)), QImage::Format_ARGB32_Premultiplied);
  image.fill(translucent ? QColor(Qt::transparent) : QColor("#9a8a70"));
  QPainter painter(&image);
  painter.scale(scale, scale);
  PaintCharacter(painter, bird, pose);
  return image;
}

// The outline as Qt's own one-bit alpha mask gives it.
QRegion OutlineByBitmap(const TPose& pose, double scale, int grow) {
  const TCharacterDef& bird = Bird();
  QImage mask(static_cast<int>(std::ceil(bird.size.width() * scale)),
              static_cast<int>(std::ceil(bird.size.height() * scale)), QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    QPainter painter(&mask);
    const std::vector<QTransform> transforms = PartTransforms(bird, pose);
    painter.setBrush(Qt::black);
    for (size_t i = 0; i < bird.parts.size(); ++i) {
      const TPartDef& part = bird.parts[i];
      float alpha = 1;
      for (int p = int(i); p >= 0; p = bird.parts[p].parent)
        alpha *= std::clamp(pose[p][int(TChannel::Alpha)], 0.f, 1.f);
      if (part.path.isEmpty() || !part.shaped || alpha < 0.5f) continue;
      painter.setTransform(transforms[i] * QTransform::fromScale(scale, scale));
      painter.setPen(grow > 0 ? QPen(Qt::black, part.strokeWidth + 2.0 * grow / scale) : QPen(Qt::NoPen));
      painter.drawPath(part.path);
    }
  }
  return QRegion(QBitmap::fromImage(mask.createAlphaMask(Qt::MonoOnly | Qt::ThresholdAlphaDither)));
}

}  // namespace

TEST(Frames, EveryAnimationLooksAsPaintedFromVectorsWithTheShapeOfItsOutline) {
  const TCharacterDef& bird = Bird();
  for (const double scale : {1.0, 2.0}) {
    for (const bool translucent : {true, false}) {
      TCharacterWindow window(bird, scale, translucent);
      for (const TAnimationDef& animation : bird.animations) {
        for (const TPose& pose : SamplePoses(bird, animation)) {
          SCOPED_TRACE(QString("%1 at scale %2, %3")
                           .arg(animation.name)
                           .arg(scale)
                           .arg(translucent ? "translucent" : "shaped")
                           .toStdString());
          window.SetPose(pose);
          const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
          ASSERT_EQ(shown, PaintedFromVectors(pose, scale, translucent));
          // The same pixels (the rectangles may be cut otherwise).
          ASSERT_TRUE(window.Shape().xored(OutlineByBitmap(pose, scale, translucent ? 1 : 0)).isEmpty());
        }
      }
    }
  }
}

TEST(Frames, AShapeIsSentOnlyWhenTheOutlineChanges) {
  const TCharacterDef& bird = Bird();
  TCharacterWindow window(bird, 1.0, false);
  const TAnimationDef& blink = *bird.Find("Blink");
  const TAnimationDef& wave = *bird.Find("Wave");
  struct Step {
    TPose pose;
    bool newOutline;
    const char* what;
  };
  const Step steps[] = {
      {bird.RestPose(), false, "the pose on show"},
      {EvaluateAnimation(bird, blink, 110), false, "eyes shut inside the head"},
      {EvaluateAnimation(bird, blink, 110), false, "the same pose again"},
      {EvaluateAnimation(bird, wave, wave.durationMs / 2), true, "a wing raised"},
      {EvaluateAnimation(bird, wave, wave.durationMs / 2), false, "held"},
      {bird.RestPose(), true, "back at rest"},
  };
  for (const Step& step : steps) {
    const int before = window.ShapeRequests();
    window.SetPose(step.pose);
    EXPECT_EQ(window.ShapeRequests() - before, step.newOutline ? 1 : 0) << step.what;
  }
}

TEST(Frames, EachPoseIsPaintedOnceWithinTheBudgetMostRecentlyShownKept) {
  const TCharacterDef& bird = Bird();
  const TAnimationDef& breathe = *bird.Find("Breathe");
  std::vector<TPose> breath;
  for (double t = 0; t <= breathe.durationMs; t += 40) breath.push_back(EvaluateAnimation(bird, breathe, t));
  const std::set<TPose> distinct(breath.begin(), breath.end());  // it breathes out as it breathed in
  TFrameCache cache(bird, 1.0, Qt::transparent, 1);
  for (int round = 0; round < 3; ++round)
    for (const TPose& pose : breath) cache.Frame(pose, 1.0);
  EXPECT_EQ(cache.Painted(), int(distinct.size()))
      << "each pose once; every breath after the first is copied";
  EXPECT_LE(cache.Bytes(), TFrameCache::DefaultBudgetBytes);

  // A budget of about three frames keeps the last three shown.
  const std::vector<TPose> breathIn(breath.begin(), breath.begin() + breath.size() / 2);
  TFrameCache small(bird, 1.0, Qt::transparent, 1, 3 * cache.Bytes() / distinct.size() + 1);
  for (const TPose& pose : breathIn) small.Frame(pose, 1.0);
  EXPECT_LE(small.Kept(), 4);
  const int painted = small.Painted();
  small.Frame(breathIn.back(), 1.0);
  EXPECT_EQ(small.Painted(), painted) << "the newest is kept";
  small.Frame(breathIn.front(), 1.0);
  EXPECT_EQ(small.Painted(), painted + 1) << "the oldest went";
  // A screen of another density paints anew, sharp.
  EXPECT_EQ(small.Frame(breathIn.front(), 2.0)->strips.front().image.devicePixelRatio(), 2.0);
  EXPECT_EQ(small.Painted(), painted + 2);
}

TEST(Frames, StripsThatLookAlikeAreKeptOnceAndGoWithTheirLastFrame) {
  const TCharacterDef& bird = Bird();
  const TAnimationDef& blink = *bird.Find("Blink");
  const TPose open = bird.RestPose(), shut = EvaluateAnimation(bird, blink, 110);
  auto bytesOf = [&](std::initializer_list<const TPose*> poses) {
    TFrameCache cache(bird, 1.0, Qt::transparent, 1);
    for (const TPose* pose : poses) cache.Frame(*pose, 1.0);
    return cache.Bytes();
  };
  const std::size_t both = bytesOf({&open, &shut});
  // A blink changes the eyes only: the rest of the bird is kept once.
  EXPECT_LT(both, bytesOf({&open}) + bytesOf({&shut}) * 2 / 3);

  // Settling lets the least recently shown go down to the resting budget;
  // a strip shared with a frame still kept stays, and what is counted is
  // what a store holding only the kept frames counts.
  TFrameCache cache(bird, 1.0, Qt::transparent, 1, TFrameCache::DefaultBudgetBytes, both);
  const TAnimationDef& processing = *bird.Find("Processing");
  for (double t = 0; t <= processing.durationMs; t += 20)
    cache.Frame(EvaluateAnimation(bird, processing, t), 1.0);
  cache.Frame(open, 1.0);
  cache.Frame(shut, 1.0);
  EXPECT_GT(cache.Bytes(), both);
  EXPECT_LE(cache.Bytes(), TFrameCache::DefaultBudgetBytes);
  cache.Settle();
  EXPECT_EQ(cache.Kept(), 2);
  EXPECT_EQ(cache.Bytes(), both);
  const int painted = cache.Painted();
  const auto frame = cache.Frame(shut, 1.0);
  EXPECT_EQ(cache.Painted(), painted) << "the frames shown last stay";

  // The shared strips still make the pose's picture.
  QImage shown(cache.PaintWhole(open, 1.0).size(), QImage::Format_ARGB32_Premultiplied);
  shown.fill(Qt::transparent);
  QPainter painter(&shown);
  for (const TCharacterFrame::TStrip& strip : frame->strips) painter.drawImage(strip.offset, strip.image);
  painter.end();
  EXPECT_EQ(shown, PaintedFromVectors(shut, 1.0, true));
}

TEST(Frames, TheClockWakesOnlyWherePosesChange) {
  const double never = std::numeric_limits<double>::infinity();
  // a shrinks, holds, grows back; b turns slowly, then snaps back with a step.
  TAnimationDef turn{"Turn", 800, {}};
  turn.tracks = {
      {0,
       TChannel::Sy,
       {{0, 1, TEase::Smooth},
        {100, 0.5, TEase::Smooth},
        {200, 0.5, TEase::Smooth},
        {600, 1, TEase::Smooth}}},
      {1, TChannel::Rot, {{0, 0, TEase::Smooth}, {300, 10, TEase::Smooth}, {700, 0, TEase::Step}}}};
  // a alone: its hold is a pause; it loops across it.
  TAnimationDef nod{"Nod",
                    300,
                    {{0,
                      TChannel::Sy,
                      {{0, 1, TEase::Smooth},
                       {100, 0.5, TEase::Smooth},
                       {200, 0.5, TEase::Smooth},
                       {300, 1, TEase::Smooth}}}}};
  nod.loopFromMs = 150;
  nod.loopToMs = 180;
  struct Case {
    const TAnimationDef& animation;
    double t, next;
  } cases[] = {
      {turn, 50, 50},                        // both move
      {turn, 150, 150},                      // a holds, b still turns
      {turn, 600, 700},                      // a has arrived; the step holds b until 700
      {turn, 650, 700},   {turn, 700, 800},  // all still, but the animation ends at 800
      {turn, 800, never}, {nod, 120, 180},   // the loop's end comes before the hold's
      {nod, 190, 200},    {nod, 250, 250},  {nod, 300, never},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NextPoseChange(c.animation, c.t), c.next) << c.animation.name.toStdString() << " at " << c.t;
}

TEST(Frames, AboveAPixelRatioOfOneTheShapeIsTracedInNativePixels) {
  const TCharacterDef& bird = Bird();
  const TPose wave = EvaluateAnimation(bird, *bird.Find("Wave"), bird.Find("Wave")->durationMs / 2);
  for (const double ratio : {1.25, 1.5, 2.0}) {
    for (const bool translucent : {true, false}) {
      SCOPED_TRACE(
          QString("ratio %1, %2").arg(ratio).arg(translucent ? "translucent" : "shaped").toStdString());
      const int grow = translucent ? 1 : 0;
      TFrameCache cache(bird, 1.0, translucent ? QColor(Qt::transparent) : QColor("#9a8a70"), grow);
      const auto frame = cache.Frame(wave, ratio);
      // The logical outline stays what it is at ratio 1; the native one is
      // the outline traced at the native size, not the logical one's pixels
      // (which would cover only part of the window).
      EXPECT_TRUE(frame->shape.xored(cache.Frame(wave, 1.0)->shape).isEmpty());
      const auto native = cache.Frame(wave, ratio);
      EXPECT_TRUE(
          native->nativeShape.xored(OutlineByBitmap(wave, ratio, int(std::ceil(grow * ratio)))).isEmpty());
      const QRect logical = native->shape.boundingRect();
      EXPECT_NEAR(native->nativeShape.boundingRect().right(), logical.right() * ratio, 2 * ratio + 1);
      EXPECT_NEAR(native->nativeShape.boundingRect().bottom(), logical.bottom() * ratio, 2 * ratio + 1);
      // Frames of that many more pixels get as much more room.
      EXPECT_EQ(cache.Budget(), std::size_t(double(TFrameCache::DefaultBudgetBytes) * ratio * ratio));
    }
  }
}
