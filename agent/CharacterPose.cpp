#include "agent/CharacterPose.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace perch {

namespace {

float Eased(TEase ease, float f) {
  switch (ease) {
    case TEase::Linear: return f;
    case TEase::Step: return f < 1 ? 0.f : 1.f;
    case TEase::In: return f * f;
    case TEase::Out: return 1 - (1 - f) * (1 - f);
    case TEase::Back: {  // overshoots a little, then settles: a springy pop
      constexpr float s = 1.70158f;
      const float g = f - 1;
      return 1 + g * g * ((s + 1) * g + s);
    }
    case TEase::Smooth: break;
  }
  return f * f * (3 - 2 * f);
}

float TrackValue(const TTrack& track, double t) {
  const auto& keys = track.keys;
  if (t <= keys.front().timeMs) return keys.front().value;
  if (t >= keys.back().timeMs) return keys.back().value;
  const auto next = std::upper_bound(keys.begin(), keys.end(), t,
                                     [](double time, const TKey& key) { return time < key.timeMs; });
  const TKey& b = *next;
  const TKey& a = *(next - 1);
  const double span = b.timeMs - a.timeMs;
  const float f = span <= 0 ? 1.f : static_cast<float>((t - a.timeMs) / span);
  return a.value + (b.value - a.value) * Eased(b.ease, f);
}

}  // namespace

TPose EvaluateAnimation(const TCharacterDef& character, const TAnimationDef& animation, double timeMs) {
  TPose pose = character.RestPose();
  const double t = std::clamp(timeMs, 0.0, animation.durationMs);
  for (const TTrack& track : animation.tracks)
    pose[track.part][static_cast<int>(track.channel)] = TrackValue(track, t);
  return pose;
}

double NextPoseChange(const TAnimationDef& animation, double t) {
  double next = std::numeric_limits<double>::infinity();
  if (t < animation.durationMs) next = animation.durationMs;
  if (animation.Loops() && t < animation.loopToMs) next = std::min(next, animation.loopToMs);
  for (const TTrack& track : animation.tracks) {
    const auto& keys = track.keys;
    if (t < keys.front().timeMs) {
      next = std::min(next, keys.front().timeMs);
      continue;
    }
    const auto b = std::upper_bound(keys.begin(), keys.end(), t,
                                    [](double time, const TKey& key) { return time < key.timeMs; });
    if (b == keys.end()) continue;  // past its last key: holds for good
    // A step holds its start value to the segment's end.
    const bool holds = b->value == (b - 1)->value || b->ease == TEase::Step;
    next = std::min(next, holds ? b->timeMs : t);
  }
  return std::max(next, t);
}

TPose BlendPoses(const TPose& a, const TPose& b, float weight) {
  TPose out = b;
  if (a.size() != b.size()) return out;
  for (size_t i = 0; i < out.size(); ++i)
    for (int c = 0; c < ChannelCount; ++c) out[i][c] = a[i][c] + (b[i][c] - a[i][c]) * weight;
  return out;
}

}  // namespace perch
