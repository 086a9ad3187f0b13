#pragma once
// Lively mode: when the bird has been idle for a while, the controller asks
// it for a routine of its own accord. The idle time is drawn anew between a
// least and a most after every routine; the routine is drawn by weight. The
// clock, the local time of day and the random source are passed in, so the
// scheduler runs the same under tests as on the desktop.

#include <chrono>
#include <functional>
#include <optional>

namespace perch {

struct TLivelySettings {
  bool enabled = true;
  std::chrono::seconds leastIdle{180};
  std::chrono::seconds mostIdle{600};
  bool nightSleep = false;
  // Relative chances; 0 leaves a routine out. Sleep is drawn only at night
  // and only with nightSleep.
  int randomWeight = 6;
  int greetWeight = 1;
  int workWeight = 1;
  int eatWeight = 1;
  int sleepWeight = 4;
  // The behaviours between routines; 0 (none) unless the settings ask for
  // them, so that lively mode does what it always did.
  int perchWeight = 0;
  int hopWeight = 0;
  int lookWeight = 0;
  int preenWeight = 0;
  int chatterWeight = 0;

  // Bounds that make sense of any values read from a file: the least idle
  // time at least a second, the most not below the least, weights not negative.
  TLivelySettings Sane() const;
};

// What keeps the bird from being asked for anything.
struct TLivelyBlockers {
  bool routineRunning = false;  // between a request and its notice 20
  bool gameOpen = false;
  bool fullScreen = false;  // the user's active window covers the screen
};

class TLivelyScheduler {
 public:
  using TClock = std::function<std::chrono::steady_clock::time_point()>;
  using TMinuteOfDay = std::function<int()>;  // local time: minutes since midnight
  using TRandom = std::function<double()>;    // uniform in [0, 1)

  // Night: from 22:00 up to, not including, 07:00 local time.
  static constexpr int NightStarts = 22 * 60;
  static constexpr int NightEnds = 7 * 60;

  TLivelyScheduler(TLivelySettings settings, TClock clock, TMinuteOfDay minuteOfDay, TRandom random);

  const TLivelySettings& Settings() const { return settings_; }
  // New settings take effect with a new idle time drawn from now.
  void SetSettings(const TLivelySettings& settings);

  // The bird has just been busy (a routine ended, it was clicked, it started):
  // a new idle time begins now.
  void RestartIdle();

  // The request to post now, if the idle time is over and nothing blocks.
  // A blocked turn waits: it is taken as soon as the blocker is gone. Posting
  // the request is the caller's; a routine it starts is reported as a blocker
  // and its end through RestartIdle.
  std::optional<int> Due(const TLivelyBlockers& blockers);

  // How long until the idle time is over (zero when it is); nothing when
  // lively mode is off.
  std::optional<std::chrono::milliseconds> TimeUntilDue() const;

  static bool IsNight(int minuteOfDay);

 private:
  int DrawRequest();

  TLivelySettings settings_;
  TClock clock_;
  TMinuteOfDay minuteOfDay_;
  TRandom random_;
  std::chrono::steady_clock::time_point deadline_;
};

}  // namespace perch
