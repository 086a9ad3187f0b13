#include "agent/CharacterIcon.h"

#include "agent/CharacterPainter.h"
#include "agent/CharacterPose.h"

#include <QPainter>

#include <algorithm>

namespace perch {

namespace {

struct TSquare {
  double left, top, side;
};
// In character units: the head from the tuft to below the beak, cheek to
// cheek; small icons show the face alone, so the eyes and the beak stay
// several pixels large.
constexpr TSquare Head{52, 44, 96};
constexpr TSquare Face{63, 70, 74};
constexpr int SmallIcon = 32;

}  // namespace

QImage CharacterHeadIcon(const TCharacterDef& character, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  const TSquare square = size <= SmallIcon ? Face : Head;
  const double scale = size / square.side;
  // Outlines much thinner than a pixel wash out into the fills: keep each
  // at least a good half pixel wide.
  TCharacterDef drawn = character;
  for (TPartDef& part : drawn.parts) {
    if (part.strokeWidth > 0) part.strokeWidth = std::max(part.strokeWidth, 0.7 / scale);
  }
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(scale, scale);
  painter.translate(-square.left, -square.top);
  PaintCharacter(painter, drawn, drawn.RestPose());
  return image;
}

}  // namespace perch
