// The everyday routines that the controlling program starts by request:
// each queues its requests on the character, holds itself with timed waits
// (during which other requests and clicks run nested) and ends with notice 20.

#include "companion/Actor.h"
#include "companion/Companion.h"
#include "companion/ScreenArea.h"

#include <chrono>
#include <random>

namespace perch {

namespace {

const QString NoUrl;

}  // namespace

int DrawFromClock(int low, int high) {
  // Reseeded for every draw, as the routines ask for it.
  std::mt19937 generator(
      static_cast<std::mt19937::result_type>(std::chrono::steady_clock::now().time_since_epoch().count()));
  return std::uniform_int_distribution<int>(low, high)(generator);
}

void TActor::EatCookies() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  SayChinese(tr("肚子饿了，吃点东西吧。"));
  Say(tr("I love cookies."));
  Char().StopAll(QStringLiteral("play"));
  Char().Play(QStringLiteral("Idle2_2"));
  Char().Play(QStringLiteral("Idle2_2"));
  WaitSeconds(20);
  NotifyController(NoticeRoutineEnded);
}

void TActor::GoToSleep() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  SayChinese(tr("睡觉了"));
  Say(tr("Sleep is important. "));
  Char().StopAll(QStringLiteral("play"));
  Char().Play(QStringLiteral("Idle3_1"));
  Char().Play(QStringLiteral("Idle3_2"));
  WaitSeconds(200);
  Char().StopAll(QStringLiteral("play"));
  Char().Play(QStringLiteral("Idle3_1"));
  Char().Play(QStringLiteral("Blink"));
  WaitSeconds(4);
  NotifyController(NoticeRoutineEnded);
}

void TActor::GreetUser() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  Char().StopAll(QStringLiteral("play"));
  Char().Play(QStringLiteral("Wave"));
  SayChinese(tr("忙吗？和我聊天吧？下棋也可以。有什么事情我可以帮忙的？"));
  WaitSeconds(3);
  NotifyController(NoticeRoutineEnded);
}

void TActor::DoWork() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  SayChinese(tr("我现在要工作了。"));
  Say(tr("I hate work,but I must work now."));
  Char().StopAll(QStringLiteral("play"));
  Char().Play(QStringLiteral("Processing"));
  WaitSeconds(20);
  Char().StopAll(QStringLiteral("play"));
  NotifyController(NoticeRoutineEnded);
}

void TActor::InviteToChess() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  Char().StopAll(QStringLiteral("play"));
  Char().Play(QStringLiteral("Wave"));
  WaitSeconds(1);
  Say(tr("Hi,Play Chess with me?"));
  PlayChess();
  // The game is played inside this wait: its message processing carries the
  // user's moves, the computer's moves and the board's events.
  WaitSeconds(10000);
  NotifyController(NoticeRoutineEnded);
}

void TActor::RandomActivity() {
  if (Character == nullptr) return NotifyController(NoticeRoutineEnded);
  Char().StopAll(QStringLiteral("play"));
  Char().Show(false);
  const int number = RandomNumber(0, 9);
  if (number != 9) {
    struct TActivity {
      const char* animation;
      int seconds;
    };
    static constexpr TActivity Activities[9] = {{"Reading", 120}, {"Reading", 120},  {"Writing", 60},
                                                {"Writing", 60},  {"Searching", 20}, {"thinking", 20},
                                                {"Idle2_1", 20},  {"Idle3_3", 40},   {"Idle3_3", 40}};
    const TActivity& activity = Activities[number];
    Char().Show(false);
    Char().Play(QString::fromLatin1(activity.animation));
    WaitSeconds(activity.seconds);
    Char().StopAll(QStringLiteral("play"));
  } else {
    // A tour of the screen, then back to the corner; nothing waits for it.
    // Places are taken in the available area of the bird's monitor.
    const QRect area = CharacterArea(Character);
    Char().Show(false);
    for (int move = 0; move < 3; ++move) {
      const int y = area.y() + RandomNumber(0, 599);
      const int x = area.x() + RandomNumber(0, 799);
      Char().MoveTo(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 1);
    }
    Char().MoveTo(static_cast<std::int16_t>(area.x() + area.width() - 150),
                  static_cast<std::int16_t>(area.y() + 10), 1);
    Char().Play(QStringLiteral("GetAttention"));
    Char().Play(QStringLiteral("GetAttention"));
  }
  NotifyController(NoticeRoutineEnded);
}

}  // namespace perch
