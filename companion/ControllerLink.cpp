// The requests and texts of the controlling program. Each runs to its end
// inside the handler; one that arrives while a routine waits runs nested in
// that wait.

#include "companion/Actor.h"
#include "companion/Companion.h"
#include "companion/ErrorBox.h"
#include "companion/Perching.h"

#include <QCoreApplication>
#include <QLineEdit>

#include <cstdio>

namespace perch {

namespace {

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
    if (isRequest && EndsWithNotice(message.wParam)) NotifyController(NoticeRoutineEnded);
    return;
  }
  depthReported_ = false;
  // The error box of a failed step is a nested loop too, so it counts.
  TDepthGuard guard(routineDepth_);
  RunReportingErrors([&] {
    if (isRequest) HandleRequest(message.wParam, message.lParam);
    else HandleText(QString::fromUtf8(message.text));
  });
}

void TActor::HandleRequest(std::uint64_t code, std::int64_t value) {
  // A bird away runs no routine or behaviour; the controller hears at once
  // that none runs.
  if (EndsWithNotice(code) && Away()) return NotifyController(NoticeRoutineEnded);
  // A routine takes the bird wherever it goes, and so does flying away: a
  // window it perched on is let go.
  if (code <= RequestChess || code == RequestFlyAway) Percher().Stop();
  switch (code) {
    case RequestRandom: RandomActivity(); break;
    case RequestEat: EatCookies(); break;
    case RequestSleep: GoToSleep(); break;
    case RequestGreet: GreetUser(); break;
    case RequestWork: DoWork(); break;
    case RequestChess: InviteToChess(); break;
    // The voice of the texts as written; a one-language mode only notes it
    // for when the written mode returns.
    case RequestChinese:
    case RequestEnglish:
      writtenLanguage_ = code == RequestChinese ? LanguageChinese : LanguageEnglish;
      if (Character != nullptr && languageMode_ == TLanguageMode::Written)
        Character->setLanguageID(writtenLanguage_);
      break;
    case RequestLanguageWritten: ChangeLanguageMode(TLanguageMode::Written); break;
    case RequestLanguageEnglish: ChangeLanguageMode(TLanguageMode::English); break;
    case RequestLanguageChinese: ChangeLanguageMode(TLanguageMode::Chinese); break;
    case RequestSizeSmall: ChangeSize(TBirdSize::Small); break;
    case RequestSizeNormal: ChangeSize(TBirdSize::Normal); break;
    case RequestSizeLarge: ChangeSize(TBirdSize::Large); break;
    case RequestMute:
    case RequestUnmute: ChangeMuted(code == RequestMute); break;
    case RequestVolume: ChangeVolume(value); break;
    case RequestFlyAway: FlyAway(); break;
    case RequestComeBack: ComeBack(); break;
    case RequestReadNames: ReadNames(true); break;
    case RequestPerch: Perch(); break;
    case RequestHop: Hop(); break;
    case RequestLookAround: LookAround(); break;
    case RequestPreen: Preen(); break;
    case RequestChatter: Chatter(); break;
    case RequestQuit:
      Quitting = true;
      // exit(), not quit(): quit() first asks every window to close, and
      // the form refuses that.
      QCoreApplication::exit(0);
      break;
    default: break;  // not a request of this program
  }
}

void TActor::ChangeLanguageMode(TLanguageMode mode) {
  SetLanguageMode(mode);
  // Kept for the next start; a failed write is told by the settings file.
  if (IniFile != nullptr)
    IniFile->WriteString(QString::fromLatin1(SettingsSection), QString::fromLatin1(LanguageKey),
                         LanguageModeName(mode));
}

void TActor::HandleText(const QString& text) {
  Edit1->setText(text);
  if (Character == nullptr || Away()) return;
  Character->StopAll(QStringLiteral("play"));
  if (languageMode_ != TLanguageMode::Written) UseModeVoice();
  // Only the latest text counts: one still waiting, or being spoken, gives
  // way to it, so that a flood of texts neither piles up nor delays a reply.
  if (!text.isEmpty()) Character->SpeakLatest(text);
}

}  // namespace perch
