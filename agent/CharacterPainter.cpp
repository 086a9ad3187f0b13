#include "agent/CharacterPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace perch {

namespace {

float Channel(const TPartPose& p, TChannel c) { return p[static_cast<int>(c)]; }

QBrush Brush(const TPaint& paint) {
  switch (paint.kind) {
    case TPaint::Kind::None: return Qt::NoBrush;
    case TPaint::Kind::Solid: return paint.color;
    case TPaint::Kind::Linear: {
      QLinearGradient gradient(paint.from, paint.to);
      gradient.setStops(paint.stops);
      return gradient;
    }
    case TPaint::Kind::Radial: {
      QRadialGradient gradient(paint.from, paint.radius);
      gradient.setStops(paint.stops);
      return gradient;
    }
  }
  return Qt::NoBrush;
}

std::vector<float> PartAlphas(const TCharacterDef& character, const TPose& pose) {
  std::vector<float> alpha(character.parts.size());
  for (size_t i = 0; i < character.parts.size(); ++i) {
    const float own = std::clamp(Channel(pose[i], TChannel::Alpha), 0.f, 1.f);
    const int parent = character.parts[i].parent;
    alpha[i] = parent < 0 ? own : own * alpha[parent];
  }
  return alpha;
}

// The pixels at least half opaque, as the region a one-bit mask of them
// would give: runs of a row, identical neighbouring rows joined in one band.
// Read straight from the pixels: no image conversion (Qt may farm those out
// to its pool threads, once a frame).
QRegion HalfOpaqueRegion(const QImage& image) {
  std::vector<QRect> rects;
  std::vector<std::pair<int, int>> band, row;  // runs as [first, last]
  int bandTop = 0;
  auto closeBand = [&](int bottom) {
    for (const auto& [first, last] : band) rects.emplace_back(QPoint(first, bandTop), QPoint(last, bottom));
  };
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    row.clear();
    for (int x = 0; x < image.width();) {
      if (qAlpha(line[x]) < 128) {
        ++x;
        continue;
      }
      const int first = x;
      while (x < image.width() && qAlpha(line[x]) >= 128) ++x;
      row.emplace_back(first, x - 1);
    }
    if (row == band) continue;
    closeBand(y - 1);
    band.swap(row);
    bandTop = y;
  }
  closeBand(image.height() - 1);
  QRegion region;
  region.setRects(rects.data(), int(rects.size()));
  return region;
}

}  // namespace

std::vector<QTransform> PartTransforms(const TCharacterDef& character, const TPose& pose) {
  std::vector<QTransform> transforms(character.parts.size());
  for (size_t i = 0; i < character.parts.size(); ++i) {
    const TPartDef& part = character.parts[i];
    const TPartPose& p = pose[i];
    QTransform local;
    local.translate(part.pivot.x() + Channel(p, TChannel::Dx), part.pivot.y() + Channel(p, TChannel::Dy));
    local.rotate(Channel(p, TChannel::Rot));
    local.scale(Channel(p, TChannel::Sx), Channel(p, TChannel::Sy));
    local.translate(-part.pivot.x(), -part.pivot.y());
    // Parents come earlier in the file, so theirs is ready.
    transforms[i] = part.parent < 0 ? local : local * transforms[part.parent];
  }
  return transforms;
}

void PaintCharacter(QPainter& painter, const TCharacterDef& character, const TPose& pose) {
  const std::vector<QTransform> transforms = PartTransforms(character, pose);
  const std::vector<float> alphas = PartAlphas(character, pose);
  const QTransform base = painter.transform();
  const double baseOpacity = painter.opacity();
  painter.setRenderHint(QPainter::Antialiasing);
  for (size_t i = 0; i < character.parts.size(); ++i) {
    const TPartDef& part = character.parts[i];
    if (part.path.isEmpty() || alphas[i] < 0.004f) continue;
    painter.setTransform(transforms[i] * base);
    painter.setOpacity(baseOpacity * alphas[i]);
    painter.setBrush(Brush(part.fill));
    if (part.strokeWidth > 0) {
      painter.setPen(QPen(part.strokeColor, part.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    } else {
      painter.setPen(Qt::NoPen);
    }
    painter.drawPath(part.path);
  }
  painter.setTransform(base);
  painter.setOpacity(baseOpacity);
}

QSize ScaledSize(const TCharacterDef& character, double scale) {
  // Bounded before it becomes an int: a wild scale gives an image too large
  // for Qt to make, never an overflow.
  static constexpr double MaxPixels = 1 << 15;
  const auto pixels = [scale](double length) {
    const double scaled = std::ceil(length * scale);
    return static_cast<int>(scaled > 0 ? std::min(scaled, MaxPixels) : 0.0);
  };
  return {pixels(character.size.width()), pixels(character.size.height())};
}

QImage RenderCharacter(const TCharacterDef& character, const TPose& pose, double scale) {
  const QSize size = ScaledSize(character, scale);
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.scale(scale, scale);
  PaintCharacter(painter, character, pose);
  return image;
}

QRegion CharacterOutline(const TCharacterDef& character, const TPose& pose, double scale, int grow,
                         TOutline kind) {
  const QSize size = ScaledSize(character, scale);
  QImage mask(size, QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    QPainter painter(&mask);
    painter.scale(scale, scale);
    const std::vector<QTransform> transforms = PartTransforms(character, pose);
    const std::vector<float> alphas = PartAlphas(character, pose);
    painter.setBrush(Qt::black);
    for (size_t i = 0; i < character.parts.size(); ++i) {
      const TPartDef& part = character.parts[i];
      const bool counts = kind == TOutline::Clickable ? part.solid : part.shaped;
      if (part.path.isEmpty() || !counts || alphas[i] < 0.5f) continue;
      painter.setTransform(transforms[i] * QTransform::fromScale(scale, scale));
      painter.setPen(grow > 0 ? QPen(Qt::black, (part.strokeWidth + 2.0 * grow / scale)) : QPen(Qt::NoPen));
      painter.drawPath(part.path);
    }
  }
  return HalfOpaqueRegion(mask);
}

}  // namespace perch
