#pragma once
// The bird perching on another program's window: it flies to the top edge
// of the window's frame and stands there, follows the window as it moves or
// changes size (looked at every 100 ms, only while perched), hops along the
// edge now and then, and flies off to a free corner of its monitor when the
// window closes, is minimised, goes full screen, leaves no room above its
// edge or is covered where the bird stands. It never touches the window:
// no focus, no raise.

#include "companion/DesktopWindows.h"
#include "companion/PerchGeometry.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

namespace perch {

class TAgentCharacter;

// The bird's window with its feet where the character file draws them.
TCharacterBox CharacterBox(int width, int height);

class TPercher : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT
 public:
  using TCharacterSource = std::function<TAgentCharacter*()>;
  using TRandom = std::function<int(int low, int high)>;

  // While it flies the bird is looked at this often; perched, the window's
  // reports bring it along, and a look this seldom catches what they miss.
  static constexpr std::chrono::milliseconds FollowInterval{100};
  static constexpr std::chrono::milliseconds PerchedInterval{2000};
  // Reports that come in a burst (a drag) are taken together after this.
  static constexpr std::chrono::milliseconds GatherReports{15};
  // Flight speed to the perch and away (the service's speed 1 is slow).
  static constexpr int FlightSpeed = 3;
  static constexpr int HopSpeed = 1;
  // Hops along the edge at a random time within these bounds.
  static constexpr int LeastHopSeconds = 60;
  static constexpr int MostHopSeconds = 180;

  TPercher(TCharacterSource character, TRandom random, QObject* parent = nullptr);
  ~TPercher() override;
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  // Chooses a window and flies to it; false when there is none to perch on
  // (then the bird stays where it is).
  bool Start();
  // Lets the window go where the bird is (another routine takes it over).
  void Stop();
  // Hops to another place along the edge; false when not perched.
  bool Hop();

  bool Active() const { return state_ != TState::Idle; }
  // On the way to the window chosen by Start, not landed yet.
  bool Landing() const { return state_ == TState::Landing; }
  bool Perched() const { return state_ == TState::Perched; }
  // A flight of ours under way (to the window, along its edge or away).
  bool Moving() const { return flying_; }
  std::optional<TWindowId> Window() const;

 signals:
  void Landed();
  void Left();  // flew off, or was let go

 private:
  enum class TState { Idle, Landing, Perched, Leaving };
  void Follow();
  void FlyTo(QPoint target, int speed);
  void FlyOff();
  void ScheduleHop();
  void SetState(TState state);
  void Watch(TWindowId window);
  void Unwatch();
  QPoint Position() const;

  TCharacterSource character_;
  TRandom random_;
  TState state_ = TState::Idle;
  TWindowId window_ = 0;
  double along_ = 0.5;
  QPoint target_;        // where the bird was last sent or put
  bool flying_ = false;  // a move of ours under way to target_
  QRect lastFrame_;      // the window's frame last seen, in desktop pixels
  std::chrono::steady_clock::time_point nextHop_;
  QTimer follow_;
  QTimer soon_;              // a look soon after the window's reports
  TWindowId watched_ = 0;    // the window whose reports are asked for
  bool watchAdded_ = false;  // and whether that was our asking
  bool filtering_ = false;   // the event filter is installed
};

}  // namespace perch
