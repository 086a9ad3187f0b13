#pragma once
// The character's rendered frames, kept per pose. Animations run on a fixed
// time grid at a fixed scale, so the same poses come back again and again
// (every breath, every blink, every loop): each is painted from its vectors
// once and then only copied to the window. Frames are kept in strips of a
// few rows, each cropped to what differs from the window's background (a
// bird is round: its box is mostly background); a strip that looks like one
// already kept (a blink leaves all but the eyes alone) is kept once. The
// most recently shown come first, within a memory budget large enough for
// the longest loop; once the character holds still the store shrinks to
// what resting needs.

#include "agent/CharacterPose.h"

#include <QColor>
#include <QImage>
#include <QRegion>

#include <cstddef>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

namespace perch {

struct TCharacterFrame {
  struct TStrip {
    QImage image;    // at the window's pixel ratio
    QPointF offset;  // in the window, in device-independent pixels
  };
  std::vector<TStrip> strips;  // what differs from the background, top down
  QRect bounds;                // around the strips, in device-independent pixels
  QRegion shape;               // the visible outline, in device-independent pixels
  // The same outline traced at the frame's pixel ratio, in the native
  // window's pixels: what the window's shape and input region are made of.
  QRegion nativeShape;
};

class TFrameCache {
 public:
  // The longest loop (about 100 frames at 50 a second) fits at scale 1.
  static constexpr std::size_t DefaultBudgetBytes = 8u << 20;
  // Breathing and blinking fit.
  static constexpr std::size_t DefaultRestingBytes = 2u << 20;

  // background: the window's own fill (transparent for a translucent one);
  // shapeGrow: pixels by which the outline grows to keep soft edges inside;
  // budgetBytes, restingBytes: at scale 1 and pixel ratio 1, growing with
  // the frames' area (both scale and pixel ratio squared).
  TFrameCache(const TCharacterDef& character, double scale, QColor background, int shapeGrow,
              std::size_t budgetBytes = DefaultBudgetBytes, std::size_t restingBytes = DefaultRestingBytes);

  // The frame of a pose, painted now if it is not kept.
  std::shared_ptr<const TCharacterFrame> Frame(const TPose& pose, double pixelRatio);
  // The window's whole picture of a pose, painted from the vectors.
  QImage PaintWhole(const TPose& pose, double pixelRatio) const;
  // The character holds still: the least recently shown go until what is
  // kept fits the resting budget, and the memory goes back to the system.
  void Settle();

  std::size_t Budget() const;                   // at the pixel ratio of the frames kept
  std::size_t Bytes() const { return bytes_; }  // strips kept once however many frames share them
  int Kept() const { return int(entries_.size()); }
  int Painted() const { return painted_; }  // frames painted from vectors so far

 private:
  struct TEntry {
    TPose pose;
    std::shared_ptr<const TCharacterFrame> frame;
  };
  using TEntries = std::list<TEntry>;  // most recently shown first
  struct TKeptStrip {
    QImage image;
    QPointF offset;
    int frames = 0;  // kept frames showing it
  };

  std::shared_ptr<TCharacterFrame> Paint(const TPose& pose, double pixelRatio) const;
  void Keep(const TPose& pose, std::size_t hash, std::shared_ptr<TCharacterFrame> frame);
  void EvictTo(std::size_t bytes);
  // Replaces the strip by the same one kept for another frame, or keeps it.
  void ShareStrip(TCharacterFrame::TStrip& strip);
  void ReleaseStrip(const TCharacterFrame::TStrip& strip);
  static std::size_t SizeOf(const TCharacterFrame& frame);  // without its strips

  const TCharacterDef& character_;
  double scale_;
  QColor background_;
  int shapeGrow_;
  std::size_t budget_, restingBudget_;  // at pixel ratio 1
  double pixelRatio_ = 0;               // of the frames kept
  TEntries entries_;
  std::unordered_multimap<std::size_t, TEntries::iterator> byHash_;
  std::unordered_multimap<std::size_t, TKeptStrip> strips_;  // by content
  std::size_t bytes_ = 0;
  int painted_ = 0;
  int paintedWhenSettled_ = 0;
};

}  // namespace perch
