#include "agent/CharacterService.h"

#include "agent/AgentControl.h"
#include "agent/CharacterFile.h"
#include "agent/Compositor.h"
#include "agent/MonitorClamp.h"
#include "agent/StayOnTop.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace perch {

namespace {
constexpr int FrameMs = 20;              // 50 frames a second while animating
constexpr int IdleFrameMs = 40;          // breathing needs fewer
constexpr double BlendMs = 160;          // cross-fade into a new animation
constexpr double MaxLoopMs = 30000;      // a looping animation holds at most this long
constexpr double PixelsPerSecond = 320;  // flight at Speed 1
constexpr double MouthMs = 200;          // the beak opens and closes once a word

const char* KindName(TAgentCharacterImpl::TKind kind) {
  switch (kind) {
    case TAgentCharacterImpl::TKind::Show: return "Show";
    case TAgentCharacterImpl::TKind::Hide: return "Hide";
    case TAgentCharacterImpl::TKind::Play: return "Play";
    case TAgentCharacterImpl::TKind::Speak: return "Speak";
    case TAgentCharacterImpl::TKind::Move: return "Move";
  }
  return "?";
}
}  // namespace

TAgentCharacterImpl::TAgentCharacterImpl(const QString& characterId, TCharacterDef character, double scale)
    : id_(characterId), character_(std::move(character)) {
  const bool translucent = UseTranslucentWindows();
  window_ = std::make_unique<TCharacterWindow>(character_, scale, translucent);
  balloon_ = std::make_unique<TBalloonWindow>(translucent);
  stayOnTop_ = std::make_unique<TStayOnTop>(std::vector<QWidget*>{window_.get(), balloon_.get()});
  if (QGuiApplication::platformName() == "xcb") {
    // Blended while a compositor runs, shaped while none does.
    connect(&TCompositorWatch::Instance(), &TCompositorWatch::Changed, this, [this](bool running) {
      window_->SetTranslucent(running);
      balloon_->SetTranslucent(running);
    });
    if (TCompositorWatch::Instance().Running() != translucent) {
      window_->SetTranslucent(TCompositorWatch::Instance().Running());
      balloon_->SetTranslucent(TCompositorWatch::Instance().Running());
    }
  }
  // A monitor that goes away or shrinks leaves no character off every one.
  // Asked once the change is through: a removed screen may still be listed
  // while its removal is told.
  const auto keepOnMonitors = [this] { QTimer::singleShot(0, this, &TAgentCharacterImpl::KeepOnMonitors); };
  const auto watchScreen = [this, keepOnMonitors](QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, keepOnMonitors);
    connect(screen, &QScreen::availableGeometryChanged, this, keepOnMonitors);
  };
  for (QScreen* screen : QGuiApplication::screens()) watchScreen(screen);
  connect(qApp, &QGuiApplication::screenAdded, this, watchScreen);
  connect(qApp, &QGuiApplication::screenRemoved, this, keepOnMonitors);
  lastPose_ = character_.RestPose();
  clock_.start();

  frameTimer_.setTimerType(Qt::PreciseTimer);
  frameTimer_.setSingleShot(true);
  connect(&frameTimer_, &QTimer::timeout, this, &TAgentCharacterImpl::Tick);
  idleTimer_.setSingleShot(true);
  connect(&idleTimer_, &QTimer::timeout, this, &TAgentCharacterImpl::PlayIdle);

  window_->OnClicked = [this](int button, int shift, QPoint global) {
    Deliver(&TAgentCharacterImpl::OnClick, button, shift, global);
  };
  window_->OnDropped = [this](int button, int shift, QPoint global) {
    Deliver(&TAgentCharacterImpl::OnDragComplete, button, shift, global);
  };
  // A drag never leaves the character where no monitor shows it whole.
  window_->OnDragged = [this](QPoint topLeft) { Place(KeepOnMonitor(QRect(topLeft, window_->size()))); };
  window_->OnHideChosen = [this] {
    window_->hide();
    balloon_->hide();
  };

  connect(&voice_, &TVoice::Started, this, [this](const QVector<TSpokenWord>& words, int) {
    if (linesInFlight_ == 1) balloon_->SetWords(words);
  });
  connect(&voice_, &TVoice::WordReached, this, [this](int index) {
    if (linesInFlight_ != 1) return;  // a line stopped earlier
    balloon_->RevealWord(index);
    lastWordAt_ = Now();
    EnsureTicking();
  });
  connect(&voice_, &TVoice::Finished, this, [this] {
    linesInFlight_ = std::max(0, linesInFlight_ - 1);
    if (!speaking_ || linesInFlight_ > 0) return;
    speaking_ = false;
    balloon_->RevealAll();
    if (!holdBalloon_) balloon_->LingerThenHide(TBalloonWindow::ReadingMs(spokenText_));
    EnsureTicking();
  });
}

void TAgentCharacterImpl::Deliver(TMouseHandler TAgentCharacterImpl::*handler, int button, int shift,
                                  QPoint global) {
  // From the event loop, so that a handler that waits in a nested loop does
  // not run inside this window's mouse handling.
  QTimer::singleShot(0, this, [this, handler, button, shift, global] {
    try {
      if (this->*handler) (this->*handler)(button, shift, global);
    } catch (const std::exception& e) {
      if (OnError) OnError(QString::fromStdString(e.what()));
    }
  });
}

TAgentCharacterImpl::~TAgentCharacterImpl() {
  speaking_ = false;
  voice_.Stop();
}

void TAgentCharacterImpl::SetLanguageID(int languageId) {
  if (!TVoice::LanguageAvailable(languageId))
    throw TAgentError(QString("language %1 is not available: the voice speaks 1033 (English, US) and 2052 "
                              "(Chinese, PRC)")
                          .arg(languageId)
                          .toStdString());
  languageId_ = languageId;
}

void TAgentCharacterImpl::HoldBalloon(bool hold) {
  if (holdBalloon_ == hold) return;
  holdBalloon_ = hold;
  if (!hold) {
    if (!speaking_ && balloon_->isVisible()) balloon_->LingerThenHide(TBalloonWindow::ReadingMs(spokenText_));
    return;
  }
  balloon_->StopLinger();
  const bool lineComing = speaking_ || std::any_of(queue_.begin(), queue_.end(),
                                                   [](const TRequest& r) { return r.kind == TKind::Speak; });
  if (!lineComing && !away_ && !spokenText_.isEmpty() && window_->isVisible() && !balloon_->isVisible()) {
    balloon_->Present(spokenText_, window_->BalloonAnchor(), window_->geometry());
    balloon_->RevealAll();
  }
}

void TAgentCharacterImpl::Place(QPoint topLeft) {
  if (away_) {
    home_ = topLeft;
    return;
  }
  position_ = topLeft;
  window_->move(topLeft);
  if (current_ && current_->kind == TKind::Move) {
    // A running move carries on from here.
    moveFrom_ = topLeft;
    currentStart_ = Now();
  }
  balloon_->Follow(window_->BalloonAnchor(), window_->geometry());
}

void TAgentCharacterImpl::KeepOnMonitors() {
  const QSize size = window_->size();
  if (current_ && current_->kind == TKind::Move && !current_->leaving)
    current_->target = KeepOnMonitor(QRect(current_->target, size));
  // Only a character no monitor shows whole moves: on one that still shows
  // it, nothing changes. One away comes back onto a monitor.
  const QRect now(Position(), size);
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->geometry().contains(now)) return;
    areas.append(screen->availableGeometry());
  }
  const QPoint topLeft = KeepOnMonitor(now, areas);
  if (topLeft != Position()) Place(topLeft);
}

void TAgentCharacterImpl::SetScale(double scale) {
  if (!(scale >= 0.25 && scale <= 4))
    throw TAgentError(QString("the character's scale %1 is outside 0.25 to 4").arg(scale).toStdString());
  if (scale == window_->Scale()) return;
  // The feet stay where they stood: the bottom centre of the old frame.
  const QRect before(Position(), window_->size());
  window_->SetScale(scale);
  const QSize size = window_->size();
  const QPoint feet(before.x() + before.width() / 2, before.y() + before.height());
  Place(KeepOnMonitor(QRect(QPoint(feet.x() - size.width() / 2, feet.y() - size.height()), size)));
}

int TAgentCharacterImpl::FlyOff() {
  if (away_) return 0;
  StopAll(QString());
  balloon_->hide();
  const bool shown = window_->isVisible();
  home_ = position_;
  away_ = true;
  if (!shown) return 0;  // nothing to see leave
  // Past the nearer side of its monitor, rising as it goes.
  const QSize size = window_->size();
  const QRect frame(position_, size);
  const QScreen* screen = QGuiApplication::screenAt(frame.center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect monitor = screen != nullptr ? screen->geometry() : frame;
  const bool leftward = frame.center().x() < monitor.center().x();
  TRequest flight{TKind::Move, 0};
  flight.target = QPoint(leftward ? monitor.left() - size.width() - 20 : monitor.right() + 21,
                         frame.top() - monitor.height() / 4);
  flight.speed = 2;
  flight.leaving = true;
  Enqueue(std::move(flight));
  TRequest hide{TKind::Hide, 0, nullptr, true};
  hide.leaving = true;
  return Enqueue(std::move(hide));
}

int TAgentCharacterImpl::FlyBack() {
  if (!away_) return 0;
  away_ = false;
  // A flight off not yet over is called off.
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [](const TRequest& r) { return r.leaving; }),
               queue_.end());
  if (current_ && current_->leaving) StopCurrent();
  const QPoint home = home_;
  Enqueue({TKind::Show, 0, nullptr, true});
  TRequest flight{TKind::Move, 0};
  flight.target = home;
  flight.speed = 2;
  return Enqueue(std::move(flight));
}

int TAgentCharacterImpl::Show(bool fast) { return Enqueue({TKind::Show, 0, nullptr, fast}); }
int TAgentCharacterImpl::Hide(bool fast) { return Enqueue({TKind::Hide, 0, nullptr, fast}); }

int TAgentCharacterImpl::Play(const QString& animation) {
  const TAnimationDef* found = character_.Find(animation);
  if (!found)
    throw TAgentError(QString("character '%1' has no animation '%2'").arg(id_, animation).toStdString());
  return Enqueue({TKind::Play, 0, found});
}

int TAgentCharacterImpl::Speak(const QString& text) {
  TRequest request{TKind::Speak, 0};
  request.text = text;
  request.language = languageId_;  // the language current when queued
  return Enqueue(std::move(request));
}

int TAgentCharacterImpl::SpeakLatest(const QString& text) {
  DropSupersededLines();
  TRequest request{TKind::Speak, 0};
  request.text = text;
  request.language = languageId_;
  request.latestOnly = true;
  return Enqueue(std::move(request));
}

void TAgentCharacterImpl::DropSupersededLines() {
  auto superseded = [](const TRequest& r) { return r.kind == TKind::Speak && r.latestOnly; };
  for (const TRequest& r : queue_)
    if (superseded(r)) Note("drop", r);
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(), superseded), queue_.end());
  // The line being spoken is cut: a reply to something said since would
  // otherwise wait for the end of a line that no longer matters.
  if (current_ && superseded(*current_)) StopCurrent();
}

qsizetype TAgentCharacterImpl::WaitingText() const {
  qsizetype total = 0;
  for (const TRequest& r : queue_) total += r.text.size();
  return total;
}

int TAgentCharacterImpl::MoveTo(QPoint topLeft, int speed) {
  TRequest request{TKind::Move, 0};
  request.target = topLeft;
  request.speed = speed;
  return Enqueue(std::move(request));
}

void TAgentCharacterImpl::StopAll(const QString& types) {
  bool play = false, speak = false, move = false;
  const QStringList list = types.toLower().split(',', Qt::SkipEmptyParts);
  for (const QString& raw : list) {
    const QString type = raw.trimmed();
    if (type == "play") play = true;
    else if (type == "speak") speak = true;
    else if (type == "move") move = true;
    else if (type == "get" || type == "nonqueuedget" || type.isEmpty()) continue;  // nothing is ever fetched
    else
      throw TAgentError(
          QString("StopAll: unknown request type '%1' (play, speak, move, get)").arg(raw).toStdString());
  }
  if (list.isEmpty()) play = speak = move = true;
  auto dropped = [&](const TRequest& r) {
    return (play && r.kind == TKind::Play) || (speak && r.kind == TKind::Speak) ||
           (move && r.kind == TKind::Move);
  };
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(), dropped), queue_.end());
  if (current_ && dropped(*current_)) StopCurrent();
}

void TAgentCharacterImpl::StopCurrent() {
  if (current_->kind == TKind::Speak) {
    speaking_ = false;
    voice_.Stop();
    balloon_->hide();
  } else {
    StartAnimation(nullptr, Now());  // settle back to rest
  }
  Note("stop", *current_);
  current_.reset();
  EnsureTicking();
}

int TAgentCharacterImpl::Enqueue(TRequest request) {
  request.id = nextId_++;
  const int id = request.id;
  if (queue_.empty()) overflowReported_ = false;  // drained since: a later flood is told again
  queue_.push_back(std::move(request));
  // Past a bound the oldest waiting requests give way to the newest.
  int dropped = 0;
  while (queue_.size() > 1 && (int(queue_.size()) > MaxWaiting || WaitingText() > MaxWaitingText)) {
    Note("drop", queue_.front());
    queue_.pop_front();
    ++dropped;
  }
  if (dropped > 0 && !overflowReported_) {
    std::fprintf(stderr,
                 "perch: the character's request queue is full (%d requests or %lld characters of text); "
                 "the oldest waiting requests are dropped\n",
                 MaxWaiting, static_cast<long long>(MaxWaitingText));
    overflowReported_ = true;
  }
  EnsureTicking();
  return id;
}

void TAgentCharacterImpl::EnsureTicking() {
  idleTimer_.stop();
  idleFrames_ = false;
  const int soon = std::max(1, int(FrameMs / std::max(timeScale_, 1e-3)));
  if (!frameTimer_.isActive() || frameTimer_.remainingTime() > soon) frameTimer_.start(soon);
}

double TAgentCharacterImpl::FrameStep() const { return idleFrames_ ? IdleFrameMs : FrameMs; }

double TAgentCharacterImpl::NextFrameAt(double now) const {
  const double step = FrameStep();
  // The grid point after the one now shows, counted from origin.
  auto nextOnGrid = [&](double origin) { return origin + OnGrid(now - origin) + step; };
  double next = std::numeric_limits<double>::infinity();
  const bool moving = current_ && current_->kind == TKind::Move;
  if (moving || now - lastWordAt_ < MouthMs || (!current_ && !queue_.empty())) next = now + step;
  if (blendStart_ >= 0) next = std::min(next, nextOnGrid(blendStart_));
  if (playing_) {
    const double t = now - animationStart_;
    const double change = NextPoseChange(*playing_, t);
    next = std::min(next, change <= t ? nextOnGrid(animationStart_) : animationStart_ + change);
  }
  return next;
}

void TAgentCharacterImpl::Note(const char* phase, const TRequest& request) {
  if (!OnRequestNote) return;
  QString detail;
  switch (request.kind) {
    case TKind::Play: detail = request.animation->name; break;
    case TKind::Speak: detail = QString("%1 %2").arg(request.language).arg(request.text); break;
    case TKind::Move: detail = QString("%1,%2").arg(request.target.x()).arg(request.target.y()); break;
    default: detail = request.fast ? "fast" : "animated"; break;
  }
  OnRequestNote(QString("%1 %2 %3").arg(phase, KindName(request.kind), detail));
}

void TAgentCharacterImpl::Tick() {
  try {
    const double now = Now();
    if (!current_ && !queue_.empty()) StartNext(now);
    if (current_) Advance(now);
    Render(now);
    const double next = NextFrameAt(now);
    if (std::isfinite(next)) {
      frameTimer_.start(std::max(1, int(std::ceil((next - now) / std::max(timeScale_, 1e-3)))));
      return;
    }
    // Nothing moves: what comes next is started by an event (a request, a
    // word, the end of a line), or by the idle timer.
    frameTimer_.stop();
    if (!current_ && queue_.empty() && !speaking_) {
      window_->Settle();
      ScheduleIdle();
    }
  } catch (const std::exception& e) {
    frameTimer_.stop();
    if (OnError) OnError(QString::fromStdString(e.what()));
  }
}

void TAgentCharacterImpl::StartNext(double now) {
  // Several requests may end in one tick (Show when shown, a move in place).
  while (!current_ && !queue_.empty()) {
    current_ = std::move(queue_.front());
    queue_.pop_front();
    currentStart_ = now;
    loopedMs_ = 0;
    Note("start", *current_);
    TRequest& r = *current_;
    if (away_ && !r.leaving && r.kind != TKind::Play) {
      Finish();  // nothing is seen or heard of a character away
      continue;
    }
    switch (r.kind) {
      case TKind::Show:
        if (window_->isVisible()) {
          Finish();
          break;
        }
        window_->move(position_);
        window_->show();
        window_->move(position_);  // again: some placements are only honoured once shown
        if (QGuiApplication::platformName() != "offscreen") window_->raise();
        if (r.fast) {
          StartAnimation(nullptr, now);
          Finish();
        } else {
          StartAnimation(character_.Find(ShowAnimation), now);
          blendStart_ = -1;  // it appears from nothing: no blend
        }
        break;
      case TKind::Hide:
        if (!window_->isVisible() || r.fast) {
          window_->hide();
          balloon_->hide();
          Finish();
        } else {
          StartAnimation(character_.Find(HideAnimation), now);
        }
        break;
      case TKind::Play: StartAnimation(r.animation, now); break;
      case TKind::Speak:
        if (r.text.trimmed().isEmpty()) {  // nothing to say, nothing to show
          Finish();
          break;
        }
        speaking_ = true;
        spokenText_ = r.text;
        balloon_->Present(r.text, window_->BalloonAnchor(), window_->geometry());
        ++linesInFlight_;
        voice_.Speak(r.text, r.language);
        break;
      case TKind::Move: {
        // The whole character lands on a monitor, unless it leaves them.
        if (!r.leaving) r.target = KeepOnMonitor(QRect(r.target, window_->size()));
        moveFrom_ = position_;
        const QPointF delta = QPointF(r.target) - moveFrom_;
        const double distance = std::hypot(delta.x(), delta.y());
        moveDurationMs_ = r.speed <= 0 ? 0 : distance / (PixelsPerSecond * r.speed) * 1000.0;
        if (moveDurationMs_ < 1) {
          Place(r.target);
          Finish();
        } else {
          moveDurationMs_ = std::max(moveDurationMs_, 300.0);
          StartAnimation(character_.Find(FlyAnimation), now);
        }
        break;
      }
    }
  }
}

void TAgentCharacterImpl::Advance(double now) {
  TRequest& r = *current_;
  switch (r.kind) {
    case TKind::Show:
    case TKind::Hide:
    case TKind::Play: {
      if (playing_ != r.animation && r.kind == TKind::Play) return Finish();
      if (!playing_ || now - animationStart_ >= playing_->durationMs) {
        if (r.kind == TKind::Hide) {
          window_->hide();
          balloon_->hide();
          playing_ = nullptr;
          lastPose_ = character_.RestPose();
        }
        Finish();
      }
      break;
    }
    case TKind::Speak:
      if (!speaking_) Finish();
      break;
    case TKind::Move: {
      const double f = std::clamp((now - currentStart_) / moveDurationMs_, 0.0, 1.0);
      // Gentle take-off and landing.
      const double eased = f * f * (3 - 2 * f) * 0.6 + f * 0.4;
      const QPointF at = moveFrom_ + (QPointF(r.target) - moveFrom_) * eased;
      position_ = at.toPoint();
      window_->move(position_);
      balloon_->Follow(window_->BalloonAnchor(), window_->geometry());
      if (f >= 1) Finish();
      break;
    }
  }
}

void TAgentCharacterImpl::Finish() {
  if (!current_) return;
  Note("end", *current_);
  current_.reset();
}

void TAgentCharacterImpl::StartAnimation(const TAnimationDef* animation, double now) {
  blendFrom_ = lastPose_;
  blendStart_ = now;
  playing_ = animation;
  animationStart_ = now;
}

void TAgentCharacterImpl::Render(double now) {
  TPose pose = character_.RestPose();
  if (playing_) {
    double t = now - animationStart_;
    if (playing_->Loops() && t >= playing_->loopToMs) {
      // Flight loops for the whole move; other loops while nothing waits.
      const bool moving = current_ && current_->kind == TKind::Move;
      const bool hold =
          moving || (current_ && current_->animation == playing_ && queue_.empty() && loopedMs_ < MaxLoopMs);
      if (hold) {
        const double span = playing_->loopToMs - playing_->loopFromMs;
        const double back = std::floor((t - playing_->loopFromMs) / span) * span;
        animationStart_ += back;
        loopedMs_ += back;
        t -= back;
      }
    } else if (playing_->Loops() && loopedMs_ > 0 && !queue_.empty() && current_ &&
               current_->animation == playing_ && t > playing_->loopFromMs) {
      // Something waits for an animation that has already looped: leave the
      // loop now, gliding into its ending, rather than finishing the round.
      blendFrom_ = lastPose_;
      blendStart_ = now;
      animationStart_ = now - playing_->loopToMs;
      t = playing_->loopToMs;
      loopedMs_ = 0;
    }
    pose = EvaluateAnimation(character_, *playing_,
                             t >= playing_->durationMs ? playing_->durationMs : OnGrid(t));
    // An idle or trailing animation that has run out is done.
    if (t >= playing_->durationMs && !(current_ && current_->animation == playing_)) playing_ = nullptr;
  }
  if (blendStart_ >= 0) {
    const double w = OnGrid(now - blendStart_) / BlendMs;
    if (w >= 1) {
      blendStart_ = -1;
    } else {
      const float s = float(w * w * (3 - 2 * w));
      pose = BlendPoses(blendFrom_, pose, s);
    }
  }
  if (character_.mouthPart >= 0)
    pose[character_.mouthPart][int(character_.mouthChannel)] += MouthOpening(now) * character_.mouthOpen;
  lastPose_ = pose;
  if (window_->isVisible()) window_->SetPose(pose);
}

float TAgentCharacterImpl::MouthOpening(double now) const {
  const double since = std::round((now - lastWordAt_) / FrameMs) * FrameMs;
  if (since < 0 || since >= MouthMs) return 0;
  return float(std::sin(M_PI * since / MouthMs));
}

void TAgentCharacterImpl::ScheduleIdle() {
  if (!window_->isVisible()) return;
  const int wait = QRandomGenerator::global()->bounded(2500, 6000);
  idleTimer_.start(int(wait / std::max(timeScale_, 1e-3)));
}

void TAgentCharacterImpl::PlayIdle() {
  if (Busy() || !window_->isVisible()) return;
  // Mostly a breath, now and then a blink.
  const bool blink = (++idleCount_ % 3 == 0) || !character_.Find(BreatheAnimation);
  const TAnimationDef* animation = character_.Find(blink ? BlinkAnimation : BreatheAnimation);
  playing_ = animation;
  animationStart_ = Now();
  blendStart_ = -1;
  idleFrames_ = true;
  frameTimer_.start(IdleFrameMs);
}

}  // namespace perch
