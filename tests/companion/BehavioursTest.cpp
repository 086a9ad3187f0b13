// The behaviours between the routines (requests 50-54) against the recording
// character service, and the pointer watch on a hand-driven clock.

#include "companion/PointerNotice.h"
#include "tests/companion/ActorFixture.h"

namespace {

using namespace std::chrono_literals;

using BehavioursTest = ActorFixture;

TEST_F(BehavioursTest, EachEndsWithNotice20AndKeepsToItsOwnPoses) {
  CreateWithCompletedFirstRun();
  struct TCase {
    std::uint64_t code;
    QStringList script;
  };
  // Offscreen there is no window to perch on: the bird stays and reports.
  const TCase cases[] = {
      {50, {"StopAll play"}},
      {51, {"StopAll play", "Play Hop", "wait 1"}},
      {52, {"StopAll play", "Play LookAround", "wait 3"}},
      {53, {"StopAll play", "Play Preen", "wait 3"}},
  };
  for (const TCase& c : cases) {
    Request(c.code);
    EXPECT_EQ(Notices(), Codes{20}) << c.code;
    EXPECT_EQ(Script(), c.script) << c.code;
  }
}

TEST_F(BehavioursTest, ChatterNeverSaysTheSameLineTwiceRunning) {
  CreateWithCompletedFirstRun();
  const QStringList lines = TActor::ChatterLines();
  const int last = static_cast<int>(lines.size()) - 1;
  // Draws over the other lines: the same draw twice must not give the
  // same line, and the top draw reaches the last line.
  draws_ = {2, 2, 0, 0, last - 1, last - 1};
  QString previous;
  QStringList said;
  for (int i = 0; i < 6; ++i) {
    Request(54);
    EXPECT_EQ(Notices(), Codes{20});
    for (const QString& call : Script())
      if (call.startsWith("Speak ")) said << call.mid(6).section(" [", 0, 0);
  }
  ASSERT_EQ(said.size(), 6);
  for (int i = 1; i < said.size(); ++i) EXPECT_NE(said[i], said[i - 1]) << i;
  EXPECT_EQ(said, (QStringList{lines[2], lines[3], lines[0], lines[1], lines[last], lines[last - 1]}));
}

TEST_F(BehavioursTest, WithoutACharacterTheyStillReport) {
  TRecordingAgent::failLoad = true;
  EXPECT_THROW(actor_.FormCreate(), TAgentError);
  for (std::uint64_t code = 50; code <= 54; ++code) Request(code);
  EXPECT_EQ(Notices(), Codes(5, 20));
  EXPECT_EQ(Script(), QStringList{"Connected 1"});
}

TEST_F(BehavioursTest, DroppedAtTheNestingBoundTheyReportAtOnce) {
  CreateWithCompletedFirstRun();
  Codes atTheBound;
  TRecordingAgent::onSpeak = [&](const QString&) {
    if (actor_.RoutineDepth() < TActor::MaxRoutineDepth) return Text("again");
    for (const std::uint64_t code : {50, 49, 53, 55, 54}) Request(code);
    atTheBound = Notices();
  };
  Text("again");
  EXPECT_EQ(atTheBound, (Codes{20, 20, 20}));
  EXPECT_EQ(actor_.RoutineDepth(), 0);
}

TEST(PointerNotice, DistanceAndDirection) {
  const QRect bird(100, 100, 200, 184);  // centre (199, 191)
  struct TCase {
    QPoint pointer;
    int distance;
    const char* look;
  };
  const TCase cases[] = {
      {{150, 150}, 0, "LookLeft"},    {{0, 150}, 100, "LookLeft"},   {{450, 200}, 151, "LookRight"},
      {{200, 0}, 100, "LookUp"},      {{210, 400}, 117, "LookDown"}, {{0, 0}, 141, "LookLeft"},
      {{400, 384}, 143, "LookRight"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(DistanceTo(bird, c.pointer), c.distance) << c.pointer.x() << "," << c.pointer.y();
    EXPECT_STREQ(LookToward(bird, c.pointer), c.look) << c.pointer.x() << "," << c.pointer.y();
  }
}

// The watch on a hand-driven clock: the pointer placed, then looked at.
struct TWatched {
  std::optional<QRect> bird = QRect(500, 500, 200, 184);
  QPoint pointer{0, 0};
  QList<QPoint> noticed;
  std::chrono::steady_clock::time_point now{};
  TPointerWatch watch{[this] { return bird; }, [this] { return pointer; },
                      [this](QPoint at) { noticed << at; }};
  void At(QPoint at, std::chrono::milliseconds later) {
    pointer = at;
    now += later;
    watch.Look(now);
  }
};

TEST(PointerNotice, NoticedOnceAfterItCameAndStayed) {
  TWatched w;
  const QPoint near(420, 560);  // 80 left of the bird
  w.At({0, 0}, 0ms);
  EXPECT_EQ(w.watch.Interval(), TPointerWatch::FarInterval) << "far: looked at rarely";
  w.At(near, 500ms);
  EXPECT_EQ(w.watch.Interval(), TPointerWatch::NearInterval) << "near: looked at often";
  w.At(near + QPoint(3, 0), 300ms);
  EXPECT_TRUE(w.noticed.isEmpty()) << "not before it stayed a moment";
  w.At(near + QPoint(5, 0), 400ms);
  EXPECT_EQ(w.noticed, QList<QPoint>{near + QPoint(5, 0)});
  EXPECT_EQ(w.watch.Interval(), TPointerWatch::FarInterval);
  // Staying, or wandering about near the bird, is not noticed again.
  for (int i = 0; i < 20; ++i) w.At(near + QPoint(0, i * 5), 500ms);
  EXPECT_EQ(w.noticed.size(), 1);
  // Gone (past the ring) and back: noticed anew.
  w.At({100, 100}, 500ms);
  w.At(near, 500ms);
  w.At(near, 700ms);
  EXPECT_EQ(w.noticed.size(), 2);
}

TEST(PointerNotice, WhatIsNotNoticed) {
  const QPoint near(420, 560);
  {
    TWatched w;  // near from the start, never moved
    for (int i = 0; i < 10; ++i) w.At(near, 500ms);
    EXPECT_TRUE(w.noticed.isEmpty());
  }
  {
    TWatched w;  // straight onto the bird: about to click it
    w.At({0, 0}, 0ms);
    w.At(near, 100ms);
    w.At({600, 600}, 100ms);
    for (int i = 0; i < 10; ++i) w.At({600, 600}, 500ms);
    EXPECT_TRUE(w.noticed.isEmpty());
  }
  {
    TWatched w;  // the bird came to a pointer that did not move
    w.At(near, 0ms);
    w.bird = QRect(2000, 500, 200, 184);
    w.At(near, 500ms);
    w.bird = QRect(500, 500, 200, 184);
    for (int i = 0; i < 10; ++i) w.At(near, 500ms);
    EXPECT_TRUE(w.noticed.isEmpty());
  }
  {
    TWatched w;  // a routine runs: nothing, and the pointer is looked at rarely
    w.At({0, 0}, 0ms);
    w.bird.reset();
    w.At(near, 500ms);
    for (int i = 0; i < 10; ++i) w.At(near + QPoint(i, 0), 100ms);
    EXPECT_TRUE(w.noticed.isEmpty());
    EXPECT_EQ(w.watch.Interval(), TPointerWatch::FarInterval);
  }
}

}  // namespace
