#pragma once
// A loaded character: its vector parts (drawn back to front, each under an
// optional parent whose transform it inherits) and its animations, which are
// keyframed tracks on the parts' transform channels.

#include <QColor>
#include <QGradientStops>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <array>
#include <map>
#include <vector>

namespace perch {

enum class TChannel { Rot, Dx, Dy, Sx, Sy, Alpha };
constexpr int ChannelCount = 6;
using TPartPose = std::array<float, ChannelCount>;

struct TPaint {
  enum class Kind { None, Solid, Linear, Radial };
  Kind kind = Kind::None;
  QColor color;          // Solid
  QPointF from, to;      // Linear: start and end; Radial: centre in from
  double radius = 0;     // Radial
  QGradientStops stops;  // Linear and Radial
};

struct TPartDef {
  QString name;
  int parent = -1;    // index of an earlier part, or -1
  QPainterPath path;  // empty for a pure group
  QPointF pivot;      // rotation and scale centre, in character units
  TPaint fill;
  QColor strokeColor;
  double strokeWidth = 0;
  bool hidden = false;  // rests invisible (props), shown by animations
  bool solid = true;    // counts for the clickable outline
  bool shaped = true;   // counts for the window's shape (not soft shadows)
  TPartPose rest{0, 0, 0, 1, 1, 1};
};

enum class TEase { Smooth, Linear, Step, In, Out, Back };

struct TKey {
  double timeMs;
  float value;
  TEase ease;  // how the segment that ends at this key is travelled
};

struct TTrack {
  int part;
  TChannel channel;
  std::vector<TKey> keys;  // sorted by time, first at 0
};

struct TAnimationDef {
  QString name;
  double durationMs = 0;
  std::vector<TTrack> tracks;
  // While nothing else waits, time runs from loopToMs back to loopFromMs.
  double loopFromMs = -1, loopToMs = -1;
  // Ends in its last pose instead of settling back to rest (hiding).
  bool holdsEnd = false;
  bool Loops() const { return loopToMs > loopFromMs && loopFromMs >= 0; }
};

struct TCharacterDef {
  QString name;
  QSizeF size;            // the character's frame at scale 1
  QPointF balloonAnchor;  // where a balloon's tail points (top of the head)
  int mouthPart = -1;     // the part that opens while speaking
  TChannel mouthChannel = TChannel::Rot;
  float mouthOpen = 0;  // channel offset of a fully open mouth
  std::vector<TPartDef> parts;
  std::vector<TAnimationDef> animations;
  std::map<QString, int> animationByKey;  // lower-case name -> index

  // Matched without regard to case; nullptr when unknown.
  const TAnimationDef* Find(const QString& animationName) const;
  std::vector<TPartPose> RestPose() const;
};

}  // namespace perch
