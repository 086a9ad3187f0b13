#include "CharacterFrames.h"

#include "CharacterPainter.h"

#include <QPainter>

#include <algorithm>
#include <functional>

namespace {

std::size_t PoseHash(const TPose& pose) {
  std::size_t hash = pose.size();
  for (const TPartPose& part : pose)
    for (float value : part)  // + 0.0f: -0 and 0 are the same pose
      hash = hash * 1099511628211u ^ std::hash<float>{}(value + 0.0f);
  return hash;
}

// Rows per strip: few enough that copying one never makes Qt farm the rows
// out to its pool threads.
constexpr int kStripRows = 16;

// The smallest rectangle of the band outside which every pixel still holds fill.
QRect DifferingBounds(const QImage& image, int bandTop, int bandBottom, QRgb fill) {
  int top = bandBottom + 1, bottom = -1, left = image.width(), right = -1;
  for (int y = bandTop; y <= bandBottom; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    int first = 0;
    while (first < image.width() && line[first] == fill) ++first;
    if (first == image.width()) continue;
    int last = image.width() - 1;
    while (line[last] == fill) --last;
    top = std::min(top, y);
    bottom = y;
    left = std::min(left, first);
    right = std::max(right, last);
  }
  return bottom < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

TFrameCache::TFrameCache(const TCharacterDef& character, double scale, QColor background, int shapeGrow,
                         std::size_t budgetBytes)
    : character_(character),
      scale_(scale),
      background_(background),
      shapeGrow_(shapeGrow),
      budget_(std::size_t(static_cast<double>(budgetBytes) * scale * scale)) {}

QImage TFrameCache::PaintWhole(const TPose& pose, double pixelRatio) const {
  const QSize size = ScaledSize(character_, scale_);
  QImage image(size * pixelRatio,
               background_.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(pixelRatio);
  image.fill(background_);
  QPainter painter(&image);
  painter.scale(scale_, scale_);
  PaintCharacter(painter, character_, pose);
  return image;
}

std::shared_ptr<const TCharacterFrame> TFrameCache::Paint(const TPose& pose, double pixelRatio) const {
  auto frame = std::make_shared<TCharacterFrame>();
  const QImage whole = PaintWhole(pose, pixelRatio);
  QImage fill(1, 1, whole.format());
  fill.fill(background_);
  for (int top = 0; top < whole.height(); top += kStripRows) {
    const QRect bounds = DifferingBounds(whole, top, std::min(top + kStripRows, whole.height()) - 1, fill.pixel(0, 0));
    if (bounds.isEmpty()) continue;
    TCharacterFrame::TStrip strip{whole.copy(bounds), QPointF(bounds.topLeft()) / pixelRatio};
    strip.image.setDevicePixelRatio(pixelRatio);
    frame->bounds |= QRectF(strip.offset, QSizeF(bounds.size()) / pixelRatio).toAlignedRect();
    frame->strips.push_back(std::move(strip));
  }
  frame->shape = CharacterOutline(character_, pose, scale_, shapeGrow_, TOutline::Visible);
  return frame;
}

std::shared_ptr<const TCharacterFrame> TFrameCache::Frame(const TPose& pose, double pixelRatio) {
  if (pixelRatio != pixelRatio_) {  // moved to a screen of another density
    entries_.clear();
    byHash_.clear();
    bytes_ = 0;
    pixelRatio_ = pixelRatio;
  }
  const std::size_t hash = PoseHash(pose);
  const auto [begin, end] = byHash_.equal_range(hash);
  for (auto it = begin; it != end; ++it) {
    if (it->second->pose != pose) continue;
    entries_.splice(entries_.begin(), entries_, it->second);
    return entries_.front().frame;
  }
  auto frame = Paint(pose, pixelRatio);
  ++painted_;
  Keep(pose, hash, frame);
  return frame;
}

void TFrameCache::Keep(const TPose& pose, std::size_t hash, std::shared_ptr<const TCharacterFrame> frame) {
  bytes_ += SizeOf(*frame);
  entries_.push_front({pose, std::move(frame)});
  byHash_.emplace(hash, entries_.begin());
  // The least recently shown go first; the newest stays whatever its size.
  while (bytes_ > budget_ && entries_.size() > 1) {
    const auto last = std::prev(entries_.end());
    const std::size_t lastHash = PoseHash(last->pose);
    const auto [begin, end] = byHash_.equal_range(lastHash);
    for (auto it = begin; it != end; ++it)
      if (it->second == last) {
        byHash_.erase(it);
        break;
      }
    bytes_ -= SizeOf(*last->frame);
    entries_.pop_back();
  }
}

std::size_t TFrameCache::SizeOf(const TCharacterFrame& frame) {
  std::size_t bytes = sizeof(TCharacterFrame) + std::size_t(frame.shape.rectCount()) * sizeof(QRect);
  for (const TCharacterFrame::TStrip& strip : frame.strips) bytes += sizeof(strip) + strip.image.sizeInBytes();
  return bytes;
}
