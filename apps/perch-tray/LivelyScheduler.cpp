#include "apps/perch-tray/LivelyScheduler.h"

#include "apps/perch-tray/RequestCodes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace perch {

TLivelySettings TLivelySettings::Sane() const {
  TLivelySettings sane = *this;
  sane.leastIdle = std::max(leastIdle, std::chrono::seconds{1});
  sane.mostIdle = std::max(mostIdle, sane.leastIdle);
  for (int* weight :
       {&sane.randomWeight, &sane.greetWeight, &sane.workWeight, &sane.eatWeight, &sane.sleepWeight,
        &sane.perchWeight, &sane.hopWeight, &sane.lookWeight, &sane.preenWeight, &sane.chatterWeight}) {
    *weight = std::max(*weight, 0);
  }
  return sane;
}

TLivelyScheduler::TLivelyScheduler(TLivelySettings settings, TClock clock, TMinuteOfDay minuteOfDay,
                                   TRandom random)
    : settings_(settings.Sane()),
      clock_(std::move(clock)),
      minuteOfDay_(std::move(minuteOfDay)),
      random_(std::move(random)) {
  RestartIdle();
}

void TLivelyScheduler::SetSettings(const TLivelySettings& settings) {
  settings_ = settings.Sane();
  RestartIdle();
}

void TLivelyScheduler::RestartIdle() {
  using namespace std::chrono;
  const double span = duration<double>(settings_.mostIdle - settings_.leastIdle).count();
  const double drawn = std::clamp(random_(), 0.0, 1.0) * span;
  deadline_ = clock_() + settings_.leastIdle + duration_cast<steady_clock::duration>(duration<double>(drawn));
}

std::optional<std::chrono::milliseconds> TLivelyScheduler::TimeUntilDue() const {
  using namespace std::chrono;
  if (!settings_.enabled) return std::nullopt;
  return std::max(ceil<milliseconds>(deadline_ - clock_()), milliseconds{0});
}

bool TLivelyScheduler::IsNight(int minuteOfDay) {
  return minuteOfDay >= NightStarts || minuteOfDay < NightEnds;
}

std::optional<int> TLivelyScheduler::Due(const TLivelyBlockers& blockers) {
  if (!settings_.enabled || clock_() < deadline_) return std::nullopt;
  if (blockers.routineRunning || blockers.gameOpen || blockers.fullScreen) return std::nullopt;
  const int request = DrawRequest();
  // Until the routine's end restarts it, the idle time counts from now, so a
  // request that never reaches the bird is tried again one idle time later.
  RestartIdle();
  return request;
}

int TLivelyScheduler::DrawRequest() {
  const bool sleepAllowed = settings_.nightSleep && IsNight(minuteOfDay_());
  const std::array<std::pair<int, int>, 10> choices{{
      {RequestRandom, settings_.randomWeight},
      {RequestGreet, settings_.greetWeight},
      {RequestWork, settings_.workWeight},
      {RequestEat, settings_.eatWeight},
      {RequestSleep, sleepAllowed ? settings_.sleepWeight : 0},
      {RequestPerch, settings_.perchWeight},
      {RequestHop, settings_.hopWeight},
      {RequestLookAround, settings_.lookWeight},
      {RequestPreen, settings_.preenWeight},
      {RequestChatter, settings_.chatterWeight},
  }};
  long total = 0;
  for (const auto& choice : choices) total += choice.second;
  if (total <= 0) return RequestRandom;
  double point = std::clamp(random_(), 0.0, 1.0) * static_cast<double>(total);
  for (const auto& [request, weight] : choices) {
    if (point < weight) return request;
    point -= weight;
  }
  // Only rounding at the very top of the range lands here.
  for (auto it = choices.rbegin(); it != choices.rend(); ++it) {
    if (it->second > 0) return it->first;
  }
  return RequestRandom;
}

}  // namespace perch
