#pragma once
// A pose gives every part its transform channels; animations yield poses.

#include "agent/CharacterDef.h"

#include <vector>

namespace perch {

using TPose = std::vector<TPartPose>;

// The animation's pose at a time (clamped to its length), over the rest pose.
TPose EvaluateAnimation(const TCharacterDef& character, const TAnimationDef& animation, double timeMs);
// The first time from t on at which the animation's pose may differ from
// its pose at t: t itself while a track moves, the end of the segment where
// every track holds still, infinity once nothing moves any more. The ends of
// the animation and of its loop count as changes.
double NextPoseChange(const TAnimationDef& animation, double t);
// From a towards b by weight (0 = a, 1 = b).
TPose BlendPoses(const TPose& a, const TPose& b, float weight);

}  // namespace perch
