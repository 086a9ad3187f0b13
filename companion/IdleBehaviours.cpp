// What the bird does between the routines when asked: perching on a window,
// a hop, a look around, preening and a short line; and its turn toward a
// pointer that comes near. Each request ends with notice 20; the bird keeps
// perching after its notice, until a routine or the user takes it away.

#include "companion/Actor.h"
#include "companion/Companion.h"
#include "companion/Perching.h"
#include "companion/PointerNotice.h"

#include <chrono>

namespace perch {

namespace {

// Waits, with the messages processed, while `going` holds, at most `limit`.
template <typename TGoing>
void WaitWhile(TGoing going, std::chrono::milliseconds limit) {
  const TWaitSteps& steps = CompanionWaitSteps();
  const auto end = steps.now() + limit;
  while (going() && !Quitting && steps.now() < end) steps.processMessagesFor(WaitStep);
}

// A flight across the largest screen at the percher's speed takes less.
constexpr std::chrono::seconds LandingLimit{20};

}  // namespace

QStringList TActor::ChatterLines() {
  return {tr("What a lovely day."),       tr("Tweet tweet!"),
          tr("I like it up here."),       tr("Do not forget to stretch."),
          tr("Time for a little break?"), tr("Hmm, what are you working on?")};
}

void TActor::Perch() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  Char().StopAll(QStringLiteral("play"));
  if (Percher().Start()) WaitWhile([this] { return Percher().Landing(); }, LandingLimit);
  NotifyController(NoticeRoutineEnded);
}

void TActor::Hop() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  Char().StopAll(QStringLiteral("play"));
  // On a window it hops along the edge; elsewhere on the spot.
  if (Percher().Hop()) WaitWhile([this] { return Percher().Moving(); }, LandingLimit);
  else Char().Play(QStringLiteral("Hop"));
  WaitSeconds(1);
  NotifyController(NoticeRoutineEnded);
}

void TActor::LookAround() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  Char().StopAll(QStringLiteral("play"));
  Char().Play(QStringLiteral("LookAround"));
  WaitSeconds(3);
  NotifyController(NoticeRoutineEnded);
}

void TActor::Preen() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  Char().StopAll(QStringLiteral("play"));
  Char().Play(QStringLiteral("Preen"));
  WaitSeconds(3);
  NotifyController(NoticeRoutineEnded);
}

void TActor::Chatter() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  const QStringList lines = ChatterLines();
  // Any line but the last one said.
  int line = RandomNumber(0, static_cast<int>(lines.size()) - 2);
  if (lastChatter_ >= 0 && line >= lastChatter_) ++line;
  lastChatter_ = line;
  Char().StopAll(QStringLiteral("play"));
  Say(lines[line]);
  WaitSeconds(3);
  NotifyController(NoticeRoutineEnded);
}

void TActor::NoticePointer(QPoint pointer) {
  if (Character == nullptr || routineDepth_ > 0) return;
  TAgentCharacter& bird = Char();
  const QRect rect(bird.Left(), bird.Top(), bird.Width(), bird.Height());
  bird.Play(QString::fromLatin1(LookToward(rect, pointer)));
  // Now and then, not every time, a word or a hop on the spot.
  switch (RandomNumber(1, 6)) {
    case 1: Say(RandomNumber(0, 1) == 0 ? tr("Oh, hello!") : tr("What are you pointing at?")); break;
    case 2: bird.Play(QStringLiteral("Hop")); break;
    default: break;
  }
}

}  // namespace perch
