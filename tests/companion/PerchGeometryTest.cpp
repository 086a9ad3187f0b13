// Where the bird's feet go on a window's frame: frames with and without
// decorations, windows at the screen's edges and corners, two monitors, and
// the free place it flies off to.

#include "companion/PerchGeometry.h"

#include <gtest/gtest.h>

namespace perch {
namespace {

// The bird as drawn: 200 x 184, the toes at (100, 175).
const TCharacterBox Bird{{200, 184}, {100, 175}};
const QRect Left(0, 0, 1920, 1080);
const QRect Right(1920, 0, 1280, 1024);  // a smaller monitor beside it, tops aligned

QPoint FeetAt(QPoint topLeft) { return topLeft + Bird.feet; }

TEST(PerchGeometry, FrameFromExtentsOrTheWindowItself) {
  struct TCase {
    const char* name;
    QRect window;
    std::optional<TFrameExtents> extents;
    QRect frame;
  };
  const TCase cases[] = {
      {"no manager's extents", {100, 200, 400, 300}, std::nullopt, {100, 200, 400, 300}},
      {"title bar and borders", {100, 200, 400, 300}, TFrameExtents{2, 3, 24, 4}, {98, 176, 405, 328}},
      {"title bar only", {0, 30, 640, 480}, TFrameExtents{0, 0, 30, 0}, {0, 0, 640, 510}},
      {"published as zero (undecorated)", {50, 60, 70, 80}, TFrameExtents{}, {50, 60, 70, 80}},
  };
  for (const TCase& c : cases) EXPECT_EQ(FrameAround(c.window, c.extents), c.frame) << c.name;
}

TEST(PerchGeometry, FeetOnTheFrameTopInTheMiddleOfTheEdge) {
  struct TCase {
    const char* name;
    QRect frame;
    double along;
    std::optional<QPoint> feet;
  };
  const TCase cases[] = {
      // 800 wide: a quarter (200) kept clear at each end.
      {"centre", {400, 500, 800, 400}, 0.5, QPoint(800, 500)},
      {"start of the middle", {400, 500, 800, 400}, 0.0, QPoint(600, 500)},
      {"end of the middle", {400, 500, 800, 400}, 1.0, QPoint(999, 500)},
      {"out-of-range along is clamped", {400, 500, 800, 400}, 7.0, QPoint(999, 500)},
      // Narrow windows keep the fixed clearance from their buttons.
      {"narrow window", {400, 500, 100, 300}, 0.0, QPoint(440, 500)},
      {"just wide enough", {400, 500, 81, 300}, 0.5, QPoint(440, 500)},
      {"too narrow for the buttons' clearance", {400, 500, 80, 300}, 0.5, std::nullopt},
      // The whole bird must be on the screen above the edge.
      {"edge just low enough", {400, 175, 800, 400}, 0.5, QPoint(800, 175)},
      {"edge too high (maximised)", {400, 174, 800, 400}, 0.5, std::nullopt},
      {"edge at the screen's top", {0, 0, 1920, 1080}, 0.5, std::nullopt},
      {"edge near the bottom", {400, 1071, 800, 100}, 0.5, QPoint(800, 1071)},
      {"edge too near the bottom", {400, 1072, 800, 100}, 0.5, std::nullopt},
      {"window below the screen", {400, 1200, 800, 100}, 0.5, std::nullopt},
      // Windows reaching past the screen's sides: the bird stays on it.
      {"left end off screen", {-600, 400, 1400, 300}, 0.0, QPoint(100, 400)},
      {"right end off screen", {1500, 400, 800, 300}, 1.0, QPoint(1820, 400)},
      {"top left corner", {0, 175, 300, 300}, 0.0, QPoint(100, 175)},
      {"top right corner", {1620, 175, 300, 300}, 1.0, QPoint(1820, 175)},
      {"bottom left corner", {0, 1071, 300, 9}, 0.0, QPoint(100, 1071)},
      {"wholly left of the screen", {-900, 400, 800, 300}, 0.5, std::nullopt},
  };
  for (const TCase& c : cases) {
    const auto spot = PerchSpot(c.frame, {Left}, Bird, c.along);
    ASSERT_EQ(spot.has_value(), c.feet.has_value()) << c.name;
    if (spot) {
      EXPECT_EQ(FeetAt(*spot), *c.feet) << c.name;
    }
  }
}

TEST(PerchGeometry, FeetStayInsideTheMiddleForEveryAlong) {
  const QRect frame(300, 400, 640, 480);
  for (int step = 0; step <= 20; ++step) {
    const auto spot = PerchSpot(frame, {Left}, Bird, step / 20.0);
    ASSERT_TRUE(spot.has_value());
    const QPoint feet = FeetAt(*spot);
    EXPECT_EQ(feet.y(), frame.top());
    EXPECT_GE(feet.x(), frame.left() + frame.width() / 4);
    EXPECT_LE(feet.x(), frame.right() - frame.width() / 4);
  }
}

TEST(PerchGeometry, TwoMonitors) {
  struct TCase {
    const char* name;
    QList<QRect> monitors;
    QRect frame;
    double along;
    std::optional<QPoint> feet;
  };
  const TCase cases[] = {
      {"on the right monitor", {Left, Right}, {2400, 300, 400, 300}, 0.5, QPoint(2600, 300)},
      // Across the seam, the bird goes where more of the middle part is.
      {"mostly on the left", {Left, Right}, {1200, 300, 1000, 300}, 0.0, QPoint(1450, 300)},
      {"mostly on the right", {Left, Right}, {1000, 300, 2000, 300}, 0.0, QPoint(2020, 300)},
      {"never astride the seam", {Left, Right}, {1200, 300, 1000, 300}, 1.0, QPoint(1820, 300)},
      // The right monitor is shorter: an edge below its bottom has no room there.
      {"below the shorter monitor", {Left, Right}, {2400, 1040, 400, 30}, 0.5, std::nullopt},
      // A monitor above another: the edge must leave room on the lower one.
      {"stacked: room on the lower",
       {QRect(0, -1080, 1920, 1080), Left},
       {400, 200, 800, 200},
       0.5,
       QPoint(800, 200)},
      {"stacked: no room across the seam",
       {QRect(0, -1080, 1920, 1080), Left},
       {400, 100, 800, 200},
       0.5,
       std::nullopt},
      {"no monitors", {}, {400, 500, 800, 400}, 0.5, std::nullopt},
  };
  for (const TCase& c : cases) {
    const auto spot = PerchSpot(c.frame, c.monitors, Bird, c.along);
    ASSERT_EQ(spot.has_value(), c.feet.has_value()) << c.name;
    if (spot) {
      EXPECT_EQ(FeetAt(*spot), *c.feet) << c.name;
    }
  }
}

TEST(PerchGeometry, FreePlaceKeepsOffTheWindow) {
  const QRect area(0, 30, 1920, 1050);  // a top panel of 30
  const QSize size = Bird.size;
  struct TCase {
    const char* name;
    QRect area;
    QRect avoid;
    QPoint place;
  };
  const TCase cases[] = {
      {"nothing to avoid", area, {}, {1710, 886}},
      {"window at the bottom right", area, {1200, 600, 720, 480}, {10, 886}},
      {"window along the bottom", area, {0, 700, 1920, 380}, {1710, 40}},
      {"right half taken", area, {1000, 0, 920, 1080}, {10, 886}},
      {"covers all: the least overlap", area, {-5, 100, 1930, 975}, {1710, 40}},
      {"second monitor", QRect(1920, 0, 1280, 1024), {}, {2990, 830}},
      {"area smaller than the bird", QRect(0, 0, 100, 100), {}, {10, 10}},
  };
  for (const TCase& c : cases) EXPECT_EQ(FreePlace(c.area, size, c.avoid), c.place) << c.name;
}

}  // namespace
}  // namespace perch
