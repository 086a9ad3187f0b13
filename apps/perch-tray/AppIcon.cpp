#include "apps/perch-tray/AppIcon.h"

#include "companion/PerchIcon.h"

#include "agent/CharacterFile.h"
#include "agent/CharacterPainter.h"

#include <QPainter>
#include <QPixmap>

#include <exception>

namespace perch {

namespace {

// The bird at rest, cut to what is drawn and centred on a square.
QPixmap RenderedBird(int size) {
  const QString file = ResolveCharacterFile(QStringLiteral("bird.chr"));
  if (file.isEmpty()) return {};
  try {
    const TCharacterDef bird = LoadCharacterFile(file);
    const QImage whole = RenderCharacter(bird, bird.RestPose(), 2.0);
    const QRect drawn = CharacterOutline(bird, bird.RestPose(), 2.0, 0).boundingRect() & whole.rect();
    if (drawn.isEmpty()) return {};
    const QImage bird2 = whole.copy(drawn).scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap square(size, size);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((size - bird2.width()) / 2, (size - bird2.height()) / 2, bird2);
    return square;
  } catch (const std::exception&) {
    return {};  // a broken character file: the stand-in serves
  }
}

QPixmap StandIn(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x3b, 0x7d, 0xd8));
  painter.drawEllipse(QRectF(size * 0.1, size * 0.1, size * 0.8, size * 0.8));
  painter.setBrush(QColor(0xf4, 0xb1, 0x83));
  painter.drawEllipse(QRectF(size * 0.3, size * 0.45, size * 0.45, size * 0.4));
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon drawn = PerchIcon();
  if (!drawn.isNull()) return drawn;
  const QPixmap bird = RenderedBird(64);
  return QIcon(bird.isNull() ? StandIn(64) : bird);
}

}  // namespace perch
