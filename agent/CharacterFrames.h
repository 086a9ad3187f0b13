#pragma once
// The character's rendered frames, kept per pose. Animations run on a fixed
// time grid at a fixed scale, so the same poses come back again and again
// (every breath, every blink, every loop): each is painted from its vectors
// once and then only copied to the window. Frames are kept in strips of a
// few rows, each cropped to what differs from the window's background (a
// bird is round: its box is mostly background), most recently shown first,
// within a memory budget.

#include "CharacterPose.h"

#include <QColor>
#include <QImage>
#include <QRegion>

#include <cstddef>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

struct TCharacterFrame {
  struct TStrip {
    QImage image;    // at the window's pixel ratio
    QPointF offset;  // in the window, in device-independent pixels
  };
  std::vector<TStrip> strips;  // what differs from the background, top down
  QRect bounds;                // around the strips, in device-independent pixels
  QRegion shape;               // the visible outline for the window's shape and input region
};

class TFrameCache {
 public:
  static constexpr std::size_t kDefaultBudgetBytes = 3u << 20;

  // background: the window's own fill (transparent for a translucent one);
  // shapeGrow: pixels by which the outline grows to keep soft edges inside;
  // budgetBytes: at scale 1, growing with the frames' area.
  TFrameCache(const TCharacterDef& character, double scale, QColor background, int shapeGrow,
              std::size_t budgetBytes = kDefaultBudgetBytes);

  // The frame of a pose, painted now if it is not kept.
  std::shared_ptr<const TCharacterFrame> Frame(const TPose& pose, double pixelRatio);
  // The window's whole picture of a pose, painted from the vectors.
  QImage PaintWhole(const TPose& pose, double pixelRatio) const;

  std::size_t Bytes() const { return bytes_; }
  int Kept() const { return int(entries_.size()); }
  int Painted() const { return painted_; }  // frames painted from vectors so far

 private:
  struct TEntry {
    TPose pose;
    std::shared_ptr<const TCharacterFrame> frame;
  };
  using TEntries = std::list<TEntry>;  // most recently shown first

  std::shared_ptr<const TCharacterFrame> Paint(const TPose& pose, double pixelRatio) const;
  void Keep(const TPose& pose, std::size_t hash, std::shared_ptr<const TCharacterFrame> frame);
  static std::size_t SizeOf(const TCharacterFrame& frame);

  const TCharacterDef& character_;
  double scale_;
  QColor background_;
  int shapeGrow_;
  std::size_t budget_;
  double pixelRatio_ = 0;  // of the frames kept
  TEntries entries_;
  std::unordered_multimap<std::size_t, TEntries::iterator> byHash_;
  std::size_t bytes_ = 0;
  int painted_ = 0;
};
