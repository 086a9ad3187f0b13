// The requests and texts of the controlling program. Each runs to its end
// inside the handler; one that arrives while a routine waits runs nested in
// that wait.

#include "companion/Actor.h"
#include "companion/Companion.h"
#include "companion/ErrorBox.h"

#include <QCoreApplication>
#include <QLineEdit>

#include <cstdio>

namespace perch {

namespace {

constexpr std::uint64_t LastRoutineRequest = 5;  // 0 to 5 run a routine ending in notice 20
constexpr std::uint64_t RequestChinese = 21;
constexpr std::uint64_t RequestEnglish = 22;
constexpr std::uint64_t RequestQuit = 70;

// Counts the routines running nested, for the depth bound.
class TDepthGuard {
 public:
  explicit TDepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~TDepthGuard() { --depth_; }
  TDepthGuard(const TDepthGuard&) = delete;
  TDepthGuard& operator=(const TDepthGuard&) = delete;

 private:
  int& depth_;
};

}  // namespace

void TActor::HandleLinkMessage(const perch::TLinkMessage& message) {
  const bool isRequest = message.message == perch::WM_COMPANION;
  if (isRequest && message.wParam == RequestQuit) {
    // Quit is never refused, however deep the routines are nested.
    HandleRequest(message.wParam);
    return;
  }
  if (routineDepth_ >= MaxRoutineDepth) {
    // Too deep to run another routine. A controller must not wait for one
    // that will never run: a dropped routine request reports its end at once.
    if (!depthReported_) {
      std::fprintf(stderr,
                   "perch: %d routines are running nested; further requests and texts are dropped "
                   "until one ends (routine requests answered with notice 20)\n",
                   routineDepth_);
      depthReported_ = true;
    }
    if (isRequest && message.wParam <= LastRoutineRequest) NotifyController(NoticeRoutineEnded);
    return;
  }
  depthReported_ = false;
  // The error box of a failed step is a nested loop too, so it counts.
  TDepthGuard guard(routineDepth_);
  RunReportingErrors([&] {
    if (isRequest) HandleRequest(message.wParam);
    else HandleText(QString::fromUtf8(message.text));
  });
}

void TActor::HandleRequest(std::uint64_t code) {
  switch (code) {
    case 0: RandomActivity(); break;
    case 1: EatCookies(); break;
    case 2: GoToSleep(); break;
    case 3: GreetUser(); break;
    case 4: DoWork(); break;
    case 5: InviteToChess(); break;
    case RequestChinese:
      if (Character != nullptr) Character->setLanguageID(2052);
      break;
    case RequestEnglish:
      if (Character != nullptr) Character->setLanguageID(1033);
      break;
    case RequestQuit:
      Quitting = true;
      // exit(), not quit(): quit() first asks every window to close, and
      // the form refuses that.
      QCoreApplication::exit(0);
      break;
    default: break;  // not a request of this program
  }
}

void TActor::HandleText(const QString& text) {
  Edit1->setText(text);
  if (Character == nullptr) return;
  Character->StopAll(QStringLiteral("play"));
  // Only the latest text counts: one still waiting, or being spoken, gives
  // way to it, so that a flood of texts neither piles up nor delays a reply.
  if (!text.isEmpty()) Character->SpeakLatest(text);
}

}  // namespace perch
