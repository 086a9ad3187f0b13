#pragma once
// Draws a character in a pose, vector and crisp at any scale.

#include "agent/CharacterPose.h"

#include <QImage>
#include <QRegion>
#include <QTransform>

#include <vector>

class QPainter;

namespace perch {

// Each part's transform in character units, parents applied.
std::vector<QTransform> PartTransforms(const TCharacterDef& character, const TPose& pose);
// Paints with the painter's current transform mapping character units.
void PaintCharacter(QPainter& painter, const TCharacterDef& character, const TPose& pose);
// The frame times scale in whole pixels, covering every partial one.
QSize ScaledSize(const TCharacterDef& character, double scale);
// The character alone on a transparent image of its frame times scale.
QImage RenderCharacter(const TCharacterDef& character, const TPose& pose, double scale);
enum class TOutline {
  Clickable,  // the bird itself, without what it holds or shows
  Visible,    // everything drawn solidly enough to show, for the window shape
};
// An outline in pixels of the frame times scale, grown by some pixels so
// that soft edges stay inside.
QRegion CharacterOutline(const TCharacterDef& character, const TPose& pose, double scale, int grow,
                         TOutline kind = TOutline::Clickable);

}  // namespace perch
