// Where the bird may stand: beside the game's window, and wholly on one
// monitor.

#include "agent/MonitorClamp.h"
#include "companion/BoardSide.h"

#include <gtest/gtest.h>

using namespace perch;

namespace {

const QSize Bird(200, 184);
const QRect Screen(0, 0, 1280, 1024);

TEST(BesideBoard, StandsRightOfTheWindowElseLeftAndAlwaysInsideTheArea) {
  struct TCase {
    const char* name;
    QRect board;
    QPoint wished;
    QRect area;
    QPoint expected;
  };
  const TCase cases[] = {
      {"room on the right", {400, 117, 371, 390}, {500, 67}, Screen, {779, 67}},
      {"no room on the right: left", {1000, 117, 271, 390}, {1100, 67}, Screen, {792, 67}},
      {"wished above the area: kept inside", {400, 20, 371, 390}, {500, -30}, Screen, {779, 0}},
      {"wished below the area", {400, 900, 371, 390}, {500, 950}, Screen, {779, 840}},
      {"area of a second monitor", {1400, 300, 371, 390}, {1500, 250}, {1280, 256, 1280, 768}, {1779, 256}},
      {"neither side has room: the roomier (left), clamped",
       {100, 100, 1100, 390},
       {200, 50},
       Screen,
       {0, 50}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const QPoint at = BesideBoard(c.board, Bird, c.wished, c.area);
    EXPECT_EQ(at, c.expected);
    EXPECT_TRUE(c.area.contains(QRect(at, Bird))) << "the whole bird inside the area";
  }
}

TEST(BesideBoard, NeverCoversTheWindowWhereASideHasRoom) {
  for (int left = 0; left + 371 <= 1280; left += 37) {
    const QRect board(left, 117, 371, 390);
    const QPoint at = BesideBoard(board, Bird, board.topLeft() + QPoint(100, -50), Screen);
    EXPECT_FALSE(QRect(at, Bird).intersects(board)) << "board at x = " << left;
    EXPECT_TRUE(Screen.contains(QRect(at, Bird)));
  }
}

TEST(KeepOnMonitor, PullsTheWholeWindowOntoTheMonitorUnderItsCentreOrTheNearest) {
  // Two monitors side by side, the right one lower and smaller.
  const QList<QRect> monitors{{0, 0, 1280, 1024}, {1280, 256, 1024, 768}};
  struct TCase {
    const char* name;
    QPoint topLeft;
    QPoint expected;
  };
  const TCase cases[] = {
      {"inside stays", {100, 100}, {100, 100}},
      {"tail past the right edge", {2304 - 150, 300}, {2304 - 200, 300}},
      {"above the lower monitor", {1500, 100}, {1500, 256}},
      {"where no monitor shows: the nearest", {1400, 1100}, {1400, 1024 - 184}},
      {"across the seam: the monitor under the centre", {1200, 10}, {1080, 10}},
      {"off the left", {-150, -40}, {0, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const QPoint at = KeepOnMonitor(QRect(c.topLeft, Bird), monitors);
    EXPECT_EQ(at, c.expected);
    const QRect placed(at, Bird);
    EXPECT_TRUE(monitors[0].contains(placed) || monitors[1].contains(placed));
  }
  EXPECT_EQ(KeepOnMonitor(QRect({-500, 9}, Bird), {}), QPoint(-500, 9)) << "no monitors: unchanged";
}

}  // namespace
