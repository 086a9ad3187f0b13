#include "companion/Perching.h"

#include "agent/AgentControl.h"
#include "companion/ScreenArea.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <cstdint>

namespace perch {

namespace {

// The character file draws the bird in a 200 x 184 frame with the toes at
// (100, 175); the window scales that frame.
constexpr double FeetAcross = 100.0 / 200.0;
constexpr double FeetDown = 175.0 / 184.0;
// Another window over this much around the feet covers the bird's place.
constexpr int SpotHalfWidth = 20;
constexpr int SpotHalfHeight = 8;

QList<QRect> Monitors() {
  QList<QRect> monitors;
  for (const QScreen* screen : QGuiApplication::screens()) monitors.append(screen->geometry());
  return monitors;
}

QRect ToDesktop(QRect device, double ratio) {
  if (ratio == 1.0) return device;
  return {static_cast<int>(std::lround(device.x() / ratio)),
          static_cast<int>(std::lround(device.y() / ratio)),
          static_cast<int>(std::lround(device.width() / ratio)),
          static_cast<int>(std::lround(device.height() / ratio))};
}

QRect ToDevice(QRect desktop, double ratio) {
  if (ratio == 1.0) return desktop;
  return {static_cast<int>(std::lround(desktop.x() * ratio)),
          static_cast<int>(std::lround(desktop.y() * ratio)),
          static_cast<int>(std::lround(desktop.width() * ratio)),
          static_cast<int>(std::lround(desktop.height() * ratio))};
}

}  // namespace

TCharacterBox CharacterBox(int width, int height) {
  return {QSize(width, height), QPoint(static_cast<int>(std::lround(width * FeetAcross)),
                                       static_cast<int>(std::lround(height * FeetDown)))};
}

TPercher::TPercher(TCharacterSource character, TRandom random, QObject* parent)
    : QObject(parent), character_(std::move(character)), random_(std::move(random)) {
  follow_.setInterval(FollowInterval);
  connect(&follow_, &QTimer::timeout, this, &TPercher::Follow);
  soon_.setSingleShot(true);
  soon_.setInterval(GatherReports);
  connect(&soon_, &QTimer::timeout, this, &TPercher::Follow);
}

TPercher::~TPercher() {
  Unwatch();
  if (filtering_ && QCoreApplication::instance() != nullptr) qApp->removeNativeEventFilter(this);
}

bool TPercher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
  if (watched_ != 0 && state_ == TState::Perched && eventType == "xcb_generic_event_t" &&
      TDesktopWindows::Concerns(message, watched_) && !soon_.isActive())
    soon_.start();
  return false;  // only read here: others (Qt, the character's windows) take them too
}

void TPercher::Watch(TWindowId window) {
  if (window == watched_) return;
  Unwatch();
  // Installed late, after the character's own filter, so that it comes
  // first: that one keeps the reports of other programs' windows.
  if (!filtering_) {
    qApp->installNativeEventFilter(this);
    filtering_ = true;
  }
  watchAdded_ = TDesktopWindows::Watch(window);
  watched_ = window;
}

void TPercher::Unwatch() {
  if (watched_ == 0) return;
  TDesktopWindows::Unwatch(watched_, watchAdded_);
  watched_ = 0;
  watchAdded_ = false;
}

std::optional<TWindowId> TPercher::Window() const {
  if (state_ == TState::Landing || state_ == TState::Perched) return window_;
  return std::nullopt;
}

QPoint TPercher::Position() const {
  const TAgentCharacter* character = character_();
  return character != nullptr ? QPoint(character->Left(), character->Top()) : QPoint();
}

bool TPercher::Start() {
  TAgentCharacter* character = character_();
  if (character == nullptr || !TDesktopWindows::Available()) return false;
  const TCharacterBox box = CharacterBox(character->Width(), character->Height());
  const QList<QRect> monitors = Monitors();
  const double ratio = TDesktopWindows::DeviceRatio();
  const double along = random_(0, 100) / 100.0;
  const auto fits = [&](QRect frame) {
    return PerchSpot(ToDesktop(frame, ratio), monitors, box, along).has_value();
  };
  const auto window = TDesktopWindows::Choose(fits);
  if (!window) return false;
  const TWindowState state = TDesktopWindows::State(*window);
  lastFrame_ = ToDesktop(state.frame, ratio);
  const auto spot = PerchSpot(lastFrame_, monitors, box, along);
  if (!spot) return false;
  window_ = *window;
  along_ = along;
  SetState(TState::Landing);
  FlyTo(*spot, FlightSpeed);
  Watch(window_);
  follow_.start(FollowInterval);
  return true;
}

void TPercher::Stop() {
  if (state_ == TState::Idle) return;
  follow_.stop();
  soon_.stop();
  Unwatch();
  flying_ = false;
  SetState(TState::Idle);
}

bool TPercher::Hop() {
  if (state_ != TState::Perched || flying_) return false;
  TAgentCharacter* character = character_();
  if (character == nullptr) return false;
  // Somewhere else along the edge, at least a little way off.
  const double from = along_;
  along_ = random_(0, 100) / 100.0;
  if (std::abs(along_ - from) < 0.2) along_ = from < 0.5 ? from + 0.3 : from - 0.3;
  const auto spot =
      PerchSpot(lastFrame_, Monitors(), CharacterBox(character->Width(), character->Height()), along_);
  if (!spot) return false;
  FlyTo(*spot, HopSpeed);
  ScheduleHop();
  follow_.start(FollowInterval);
  return true;
}

void TPercher::FlyTo(QPoint target, int speed) {
  TAgentCharacter* character = character_();
  if (character == nullptr) return;
  character->StopAll(QStringLiteral("move"));
  character->MoveTo(static_cast<std::int16_t>(target.x()), static_cast<std::int16_t>(target.y()), speed);
  target_ = target;
  flying_ = true;
}

void TPercher::FlyOff() {
  TAgentCharacter* character = character_();
  if (character == nullptr) return Stop();
  const QRect area = CharacterArea(character);
  FlyTo(FreePlace(area, QSize(character->Width(), character->Height()), lastFrame_), FlightSpeed);
  SetState(TState::Leaving);
  Unwatch();
  follow_.start(FollowInterval);
}

void TPercher::ScheduleHop() {
  nextHop_ =
      std::chrono::steady_clock::now() + std::chrono::seconds(random_(LeastHopSeconds, MostHopSeconds));
}

void TPercher::SetState(TState state) {
  const TState was = state_;
  state_ = state;
  if (state == TState::Perched && was == TState::Landing) emit Landed();
  if ((state == TState::Leaving || state == TState::Idle) &&
      (was == TState::Landing || was == TState::Perched))
    emit Left();
}

void TPercher::Follow() {
  TAgentCharacter* character = character_();
  if (character == nullptr) return Stop();
  const QPoint at = Position();
  if (state_ == TState::Leaving) {
    if (at == target_) Stop();
    return;
  }
  if (flying_ && at == target_) {
    flying_ = false;
    if (state_ == TState::Landing) {
      SetState(TState::Perched);
      ScheduleHop();
    }
  } else if (!flying_ && at != target_) {
    // Dragged off, or sent elsewhere: the window is not ours to follow now.
    return Stop();
  }
  const TWindowState window = TDesktopWindows::State(window_);
  if (!window.exists || !window.shown || window.fullScreen) return FlyOff();
  const double ratio = TDesktopWindows::DeviceRatio();
  lastFrame_ = ToDesktop(window.frame, ratio);
  const TCharacterBox box = CharacterBox(character->Width(), character->Height());
  const auto spot = PerchSpot(lastFrame_, Monitors(), box, along_);
  if (!spot) return FlyOff();
  const QPoint feet = *spot + box.feet;
  const QRect place(feet.x() - SpotHalfWidth, feet.y() - SpotHalfHeight, 2 * SpotHalfWidth,
                    2 * SpotHalfHeight);
  if (TDesktopWindows::CoveredAt(window_, ToDevice(place, ratio))) return FlyOff();
  if (*spot != target_) {
    if (flying_) {
      FlyTo(*spot, state_ == TState::Landing ? FlightSpeed : HopSpeed);
    } else {
      // The window moved: the bird goes along at once, as if carried.
      character->setLeft(static_cast<std::int16_t>(spot->x()));
      character->setTop(static_cast<std::int16_t>(spot->y()));
      target_ = *spot;
    }
  }
  if (state_ == TState::Perched && !flying_ && std::chrono::steady_clock::now() >= nextHop_) Hop();
  // Fast only while a flight of ours is to be seen to its end.
  const auto interval = flying_ ? FollowInterval : PerchedInterval;
  if (follow_.intervalAsDuration() != interval) follow_.start(interval);
}

}  // namespace perch
