#include "CharacterIcon.h"

#include "CharacterFile.h"
#include "CharacterPainter.h"
#include "CharacterPose.h"

#include <QPainter>

#include <algorithm>
#include <exception>

namespace {

// The square around the head, in character units: from the tuft to below
// the beak, cheek to cheek.
constexpr double HeadLeft = 52, HeadTop = 44, HeadSide = 96;

}  // namespace

QImage CharacterHeadIcon(const TCharacterDef& character, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  const double scale = size / HeadSide;
  // Outlines thinner than a pixel wash out at small sizes: keep each stroke
  // at least one pixel wide so the eyes and the beak stay distinct.
  TCharacterDef drawn = character;
  for (TPartDef& part : drawn.parts) {
    if (part.strokeWidth > 0) part.strokeWidth = std::max(part.strokeWidth, 1.0 / scale);
  }
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(scale, scale);
  painter.translate(-HeadLeft, -HeadTop);
  PaintCharacter(painter, drawn, drawn.RestPose());
  return image;
}

QIcon CharacterFileIcon(const QString& characterFile) {
  const QString path = ResolveCharacterFile(characterFile);
  if (path.isEmpty()) return {};
  try {
    const TCharacterDef character = LoadCharacterFile(path);
    QIcon icon;
    for (int size : IconSizes) icon.addPixmap(QPixmap::fromImage(CharacterHeadIcon(character, size)));
    return icon;
  } catch (const std::exception&) {
    return {};  // the program reports a bad character file where it loads it
  }
}
