#pragma once
// A pose gives every part its transform channels; animations yield poses.

#include "CharacterDef.h"

#include <vector>

using TPose = std::vector<TPartPose>;

// The animation's pose at a time (clamped to its length), over the rest pose.
TPose EvaluateAnimation(const TCharacterDef& character, const TAnimationDef& animation, double timeMs);
// From a towards b by weight (0 = a, 1 = b).
TPose BlendPoses(const TPose& a, const TPose& b, float weight);
