#pragma once
// The service's side of one loaded character: its request queue, the
// animation clock, the window, the balloon and the voice. Requests run one
// after the other from a frame timer on the main thread, so they keep going
// inside nested event loops. Frames fall on a fixed time grid from the start
// of each animation, so the same poses come back and are drawn once; the
// timer runs only while something moves, waking where the next pose differs
// (a held pose costs no ticks). While nothing runs, only an occasional
// breath or blink is drawn.

#include "agent/BalloonWindow.h"
#include "agent/CharacterDef.h"
#include "agent/CharacterPose.h"
#include "agent/CharacterWindow.h"
#include "agent/StayOnTop.h"
#include "agent/voice/Voice.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cmath>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace perch {

class TAgentCharacterImpl : public QObject {
  Q_OBJECT
 public:
  enum class TKind { Show, Hide, Play, Speak, Move };

  TAgentCharacterImpl(const QString& characterId, TCharacterDef character, double scale = 1.0);
  ~TAgentCharacterImpl() override;

  const TCharacterDef& Definition() const { return character_; }

  int LanguageID() const { return languageId_; }
  void SetLanguageID(int languageId);  // throws when no voice speaks it
  bool AutoPopupMenu() const { return window_->autoPopupMenu; }
  void SetAutoPopupMenu(bool value) { window_->autoPopupMenu = value; }
  // Where the character stands; while it is away, where it comes back to.
  QPoint Position() const { return away_ ? home_ : position_; }
  void Place(QPoint topLeft);  // at once, also under a running move
  // Brings the character (and a running move's end) into the available area
  // of the nearest monitor when its own went away or shrank.
  void KeepOnMonitors();

  int Show(bool fast);
  int Hide(bool fast);
  int Play(const QString& animation);  // throws for an unknown name
  int Speak(const QString& text);
  // Speaks a line of a conversation, where only the latest counts: earlier
  // such lines still waiting are dropped and the one being spoken is cut.
  int SpeakLatest(const QString& text);
  int MoveTo(QPoint topLeft, int speed);
  // Keeps the last line's balloon up, whole, while held (its question is
  // answered elsewhere), bringing it back if it went and no line is on its
  // way; released, it lingers as after a line and goes. Lines spoken
  // meanwhile replace it and stay up in turn.
  void HoldBalloon(bool hold);
  bool BalloonHeld() const { return holdBalloon_; }
  // Types: a comma-separated list of play, speak, move, get; empty for all.
  void StopAll(const QString& types);

  // The character drawn at another size (1 as designed), its feet where
  // they stood, the whole of it kept on a monitor, the balloon beside it.
  // Throws for a scale outside 0.25 to 4.
  void SetScale(double scale);
  double Scale() const { return window_->Scale(); }
  // The voice's loudness and silence (see TVoice).
  void SetVolume(int percent) { voice_.SetVolume(percent); }
  int Volume() const { return voice_.Volume(); }
  void SetMuted(bool muted) { voice_.SetMuted(muted); }
  bool Muted() const { return voice_.Muted(); }
  // Away: everything queued or running stops, the character flies off past
  // the nearer side of its monitor and hides. While it is away, requests
  // to show, hide, speak or move end as they start (the lines unsaid) and
  // animations play unseen; placing it moves the place it comes back to.
  // FlyBack brings it in from where it left to that place. Each does
  // nothing when the character already is where it asks for.
  int FlyOff();
  int FlyBack();
  bool Away() const { return away_; }

  bool Visible() const { return window_->isVisible(); }
  // Whether a request runs or waits.
  bool Busy() const { return current_.has_value() || !queue_.empty(); }
  // Requests queued behind the running one.
  int Waiting() const { return int(queue_.size()); }
  // Text held by the waiting requests, in UTF-16 units.
  qsizetype WaitingText() const;
  // Bounds of the queue: past either, the oldest waiting requests are
  // dropped, so that a flood cannot take the memory.
  static constexpr int MaxWaiting = 256;
  static constexpr qsizetype MaxWaitingText = qsizetype{256} * 1024;
  // Runs the character's clock faster (tests and previews).
  void SetTimeScale(double scale) { timeScale_ = scale; }

  TCharacterWindow& Window() { return *window_; }
  TBalloonWindow& Balloon() { return *balloon_; }

  // Fired from the event loop (never inside the mouse handler) on a click.
  std::function<void(int button, int shift, QPoint global)> OnClick;
  // The same when the user let go of the character after dragging it.
  std::function<void(int button, int shift, QPoint global)> OnDragComplete;
  // Notes "start <kind> <detail>" and "end <kind> <detail>" as requests run.
  std::function<void(const QString& note)> OnRequestNote;
  // Reports an error that reached the event loop.
  std::function<void(const QString& message)> OnError;

 private:
  struct TRequest {
    TKind kind;
    int id;
    const TAnimationDef* animation = nullptr;
    bool fast = false;
    QString text = {};
    int language = 1033;
    QPoint target = {};
    int speed = 1;
    bool latestOnly = false;  // a conversation line, superseded by the next
    bool leaving = false;     // the flight off the screen and the hiding after it
  };

  int Enqueue(TRequest request);
  void StopCurrent();
  void DropSupersededLines();
  // Delivers a mouse event from the event loop, errors to OnError.
  using TMouseHandler = std::function<void(int button, int shift, QPoint global)>;
  void Deliver(TMouseHandler TAgentCharacterImpl::*handler, int button, int shift, QPoint global);
  void Tick();
  void StartNext(double now);
  void Advance(double now);
  void Finish();
  void StartAnimation(const TAnimationDef* animation, double now);
  void Render(double now);
  float MouthOpening(double now) const;
  void ScheduleIdle();
  void PlayIdle();
  void EnsureTicking();
  // The time at which the next frame is due; infinity when nothing moves.
  double NextFrameAt(double now) const;
  double FrameStep() const;
  // A time since an animation's start, on the frame grid.
  double OnGrid(double ms) const { return std::round(ms / FrameStep()) * FrameStep(); }
  double Now() const { return double(clock_.nsecsElapsed()) / 1e6 * timeScale_; }
  void Note(const char* phase, const TRequest& request);

  QString id_;
  TCharacterDef character_;
  std::unique_ptr<TCharacterWindow> window_;
  std::unique_ptr<TBalloonWindow> balloon_;
  std::unique_ptr<TStayOnTop> stayOnTop_;
  TVoice voice_;
  int languageId_ = 1033;
  QPoint position_;
  bool away_ = false;
  QPoint home_;  // while away: where the character comes back to
  int nextId_ = 1;
  bool overflowReported_ = false;  // once per flood, not once per request

  std::deque<TRequest> queue_;
  std::optional<TRequest> current_;
  double currentStart_ = 0;
  // The animation on show: the running request's, the flight's or an idle one.
  const TAnimationDef* playing_ = nullptr;
  double animationStart_ = 0;
  double loopedMs_ = 0;
  // A new animation blends in from the pose last drawn.
  TPose lastPose_, blendFrom_;
  double blendStart_ = -1;
  // Moving.
  QPointF moveFrom_;
  double moveDurationMs_ = 0;
  // Speaking.
  bool speaking_ = false;
  QString spokenText_;  // the line in the balloon
  bool holdBalloon_ = false;
  // Lines handed to the voice whose Finished has not come yet: every line
  // ends in exactly one Finished, in order, so only the last one is ours.
  int linesInFlight_ = 0;
  double lastWordAt_ = -1e9;

  QElapsedTimer clock_;
  double timeScale_ = 1.0;
  QTimer frameTimer_;
  QTimer idleTimer_;
  bool idleFrames_ = false;  // an idle breath or blink: fewer frames suffice
  int idleCount_ = 0;
};

}  // namespace perch
