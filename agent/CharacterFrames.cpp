#include "agent/CharacterFrames.h"

#include "agent/CharacterPainter.h"

#include <QHashFunctions>
#include <QPainter>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <functional>

#ifdef __GLIBC__
#include <malloc.h>

namespace perch {

#endif

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
constexpr int StripRows = 16;

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

std::size_t StripHash(const QImage& image, QPointF offset) {
  return qHashMulti(qHashBits(image.constBits(), std::size_t(image.sizeInBytes())), image.width(), offset.x(),
                    offset.y());
}

bool SameStrip(const QImage& a, QPointF aOffset, const QImage& b, QPointF bOffset) {
  return aOffset == bOffset && a.size() == b.size() && a.bytesPerLine() == b.bytesPerLine() &&
         a.format() == b.format() &&
         std::memcmp(a.constBits(), b.constBits(), std::size_t(a.sizeInBytes())) == 0;
}

// Runs work on a thread of Qt's pool and waits for it. Qt splits the fills
// of a painter working on the GUI thread across its pool threads, which on
// a frame of this size costs more in hand-overs than it saves; painted from
// a pool thread, a frame is painted in one piece.
template <typename Work>
void RunOnPoolThread(Work&& work) {
  QThreadPool* pool = QThreadPool::globalInstance();
  if (pool->contains(QThread::currentThread())) return work();
  QSemaphore done;
  std::exception_ptr error;
  pool->start([&] {
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    done.release();
  });
  done.acquire();
  if (error) std::rethrow_exception(error);
}

}  // namespace

TFrameCache::TFrameCache(const TCharacterDef& character, double scale, QColor background, int shapeGrow,
                         std::size_t budgetBytes, std::size_t restingBytes)
    : character_(character),
      scale_(scale),
      background_(background),
      shapeGrow_(shapeGrow),
      budget_(std::size_t(static_cast<double>(budgetBytes) * scale * scale)),
      restingBudget_(std::size_t(static_cast<double>(restingBytes) * scale * scale)) {}

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

std::shared_ptr<TCharacterFrame> TFrameCache::Paint(const TPose& pose, double pixelRatio) const {
  auto frame = std::make_shared<TCharacterFrame>();
  QImage whole;
  RunOnPoolThread([&] {
    whole = PaintWhole(pose, pixelRatio);
    frame->shape = CharacterOutline(character_, pose, scale_, shapeGrow_, TOutline::Visible);
    // Traced anew at the native resolution rather than the logical outline
    // blown up: its steps would show the background round the edges.
    frame->nativeShape = pixelRatio == 1
                             ? frame->shape
                             : CharacterOutline(character_, pose, scale_ * pixelRatio,
                                                int(std::ceil(shapeGrow_ * pixelRatio)), TOutline::Visible);
  });
  QImage fill(1, 1, whole.format());
  fill.fill(background_);
  for (int top = 0; top < whole.height(); top += StripRows) {
    const QRect bounds =
        DifferingBounds(whole, top, std::min(top + StripRows, whole.height()) - 1, fill.pixel(0, 0));
    if (bounds.isEmpty()) continue;
    TCharacterFrame::TStrip strip{whole.copy(bounds), QPointF(bounds.topLeft()) / pixelRatio};
    strip.image.setDevicePixelRatio(pixelRatio);
    frame->bounds |= QRectF(strip.offset, QSizeF(bounds.size()) / pixelRatio).toAlignedRect();
    frame->strips.push_back(std::move(strip));
  }
  return frame;
}

std::shared_ptr<const TCharacterFrame> TFrameCache::Frame(const TPose& pose, double pixelRatio) {
  if (pixelRatio != pixelRatio_) {  // moved to a screen of another density
    entries_.clear();
    byHash_.clear();
    strips_.clear();
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

void TFrameCache::Keep(const TPose& pose, std::size_t hash, std::shared_ptr<TCharacterFrame> frame) {
  for (TCharacterFrame::TStrip& strip : frame->strips) ShareStrip(strip);
  bytes_ += SizeOf(*frame);
  entries_.push_front({pose, std::move(frame)});
  byHash_.emplace(hash, entries_.begin());
  EvictTo(Budget());
}

std::size_t TFrameCache::Budget() const {
  // Frames at a pixel ratio of 2 hold four times the pixels.
  const double ratio = pixelRatio_ > 0 ? pixelRatio_ : 1.0;
  return ratio == 1 ? budget_ : std::size_t(static_cast<double>(budget_) * ratio * ratio);
}

void TFrameCache::Settle() {
  const std::size_t before = bytes_;
  const double ratio = pixelRatio_ > 0 ? pixelRatio_ : 1.0;
  EvictTo(ratio == 1 ? restingBudget_ : std::size_t(static_cast<double>(restingBudget_) * ratio * ratio));
#ifdef __GLIBC__
  // Strips are small blocks amid the heap, and painting leaves the pool
  // thread's scratch memory behind: free() alone keeps their pages.
  if (bytes_ < before || painted_ != paintedWhenSettled_) malloc_trim(0);
#endif
  paintedWhenSettled_ = painted_;
}

void TFrameCache::EvictTo(std::size_t bytes) {
  // The least recently shown go first; the newest stays whatever its size.
  while (bytes_ > bytes && entries_.size() > 1) {
    const auto last = std::prev(entries_.end());
    const std::size_t lastHash = PoseHash(last->pose);
    const auto [begin, end] = byHash_.equal_range(lastHash);
    for (auto it = begin; it != end; ++it)
      if (it->second == last) {
        byHash_.erase(it);
        break;
      }
    for (const TCharacterFrame::TStrip& strip : last->frame->strips) ReleaseStrip(strip);
    bytes_ -= SizeOf(*last->frame);
    entries_.pop_back();
  }
}

void TFrameCache::ShareStrip(TCharacterFrame::TStrip& strip) {
  const std::size_t hash = StripHash(strip.image, strip.offset);
  const auto [begin, end] = strips_.equal_range(hash);
  for (auto it = begin; it != end; ++it) {
    if (!SameStrip(it->second.image, it->second.offset, strip.image, strip.offset)) continue;
    strip.image = it->second.image;
    ++it->second.frames;
    return;
  }
  strips_.emplace(hash, TKeptStrip{strip.image, strip.offset, 1});
  bytes_ += sizeof(TKeptStrip) + std::size_t(strip.image.sizeInBytes());
}

void TFrameCache::ReleaseStrip(const TCharacterFrame::TStrip& strip) {
  const auto [begin, end] = strips_.equal_range(StripHash(strip.image, strip.offset));
  for (auto it = begin; it != end; ++it) {
    // Shared strips are one image: compared by identity.
    if (it->second.image.constBits() != strip.image.constBits() || it->second.offset != strip.offset)
      continue;
    if (--it->second.frames == 0) {
      bytes_ -= sizeof(TKeptStrip) + std::size_t(it->second.image.sizeInBytes());
      strips_.erase(it);
    }
    return;
  }
}

std::size_t TFrameCache::SizeOf(const TCharacterFrame& frame) {
  // At pixel ratio 1 both outlines are one region, shared.
  const int nativeRects = frame.nativeShape == frame.shape ? 0 : frame.nativeShape.rectCount();
  return sizeof(TCharacterFrame) + std::size_t(frame.shape.rectCount() + nativeRects) * sizeof(QRect) +
         frame.strips.size() * sizeof(TCharacterFrame::TStrip);
}

}  // namespace perch
