#include "agent/CharacterFile.h"

#include "agent/AgentControl.h"
#include "agent/SvgPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

namespace perch {

const TAnimationDef* TCharacterDef::Find(const QString& animationName) const {
  const auto it = animationByKey.find(animationName.toLower());
  return it == animationByKey.end() ? nullptr : &animations[it->second];
}

std::vector<TPartPose> TCharacterDef::RestPose() const {
  std::vector<TPartPose> pose;
  pose.reserve(parts.size());
  for (const TPartDef& part : parts) pose.push_back(part.rest);
  return pose;
}

namespace {

// Settling back to the rest pose after an animation's last key.
constexpr double ReturnToRestMs = 260;

// What a character may ask for. The window and its frames are as large as
// the character, so its size bounds the memory it takes; every coordinate
// stays within a few character sizes, so none overflows on its way to whole
// pixels, and the counts keep a mistaken or hostile file from taking
// seconds and megabytes to load.
constexpr int MaxCharacterSize = 2048;  // pixels, width and height
constexpr double MaxCoordinate = 8192;  // any point, radius or stroke, either sign
constexpr double MaxTimeMs = 120000;    // key and loop times
constexpr double MaxRotation = 3600;    // degrees, ten turns either way
constexpr double MaxFactor = 64;        // sx, sy, scale and alpha values
constexpr int MaxParts = 512;
constexpr int MaxAnimations = 256;
constexpr int MaxKeyLines = 1000;  // per animation
constexpr int MaxGradientStops = 64;
constexpr int MaxPathElements = 20000;  // per part

class TCharacterParser {
 public:
  TCharacterParser(const QString& text, const QString& fileName) : text_(text), file_(fileName) {}

  TCharacterDef Parse() {
    const QStringList lines = text_.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
      line_ = i + 1;
      QString content = lines[i];
      // A comment is a '#' on its own or followed by a blank, so that
      // colours such as #ff8800 are not mistaken for one.
      static const QRegularExpression commentStart("(^|\\s)#(\\s|$)");
      const qsizetype comment = content.indexOf(commentStart);
      if (comment >= 0) content.truncate(comment);
      tokens_ = content.simplified().split(' ', Qt::SkipEmptyParts);
      if (tokens_.isEmpty()) continue;
      ParseLine();
    }
    line_ = lines.size();
    Finish();
    return std::move(def_);
  }

 private:
  void ParseLine() {
    const QString keyword = tokens_[0];
    if (!sawHeader_) {
      if (keyword != "perch-character" || tokens_.size() != 2 || tokens_[1] != "1")
        Fail("the file must start with 'perch-character 1'");
      sawHeader_ = true;
      return;
    }
    if (keyword == "character") {
      Need(4, "character <name> <width> <height>");
      def_.name = tokens_[1];
      def_.size = QSizeF(Size(2, "width"), Size(3, "height"));
      sawCharacter_ = true;
    } else if (keyword == "anchor") {
      Need(3, "anchor <x> <y>");
      def_.balloonAnchor = QPointF(Coordinate(1), Coordinate(2));
    } else if (keyword == "mouth") {
      Need(4, "mouth <part> <channel> <open value>");
      def_.mouthPart = PartIndex(tokens_[1]);
      def_.mouthChannel = Channel(tokens_[2], nullptr);
      def_.mouthOpen =
          static_cast<float>(Within(3, -ChannelLimit(def_.mouthChannel), ChannelLimit(def_.mouthChannel)));
    } else if (keyword == "part") {
      ParsePart();
    } else if (keyword == "pivot" || keyword == "fill" || keyword == "stroke" || keyword == "hidden" ||
               keyword == "prop" || keyword == "soft") {
      if (def_.parts.empty() || inAnimation_) Fail("'" + keyword + "' must follow a part line");
      ParsePartAttribute(def_.parts.back());
    } else if (keyword == "animation") {
      ParseAnimation();
    } else if (keyword == "key") {
      if (!inAnimation_) Fail("'key' must follow an animation line");
      ParseKey();
    } else {
      Fail("unknown keyword '" + keyword + "'");
    }
  }

  void ParsePart() {
    if (!sawCharacter_) Fail("the 'character' line must come before the parts");
    if (inAnimation_) Fail("parts must come before the animations");
    if (tokens_.size() < 4) Fail("expected: part <name> <parent|-> <shape ...>");
    TPartDef part;
    part.name = tokens_[1];
    if (partByName_.count(part.name)) Fail("part '" + part.name + "' is defined twice");
    if (def_.parts.size() >= MaxParts) Fail(QString("more than %1 parts").arg(MaxParts));
    if (tokens_[2] != "-") part.parent = PartIndex(tokens_[2]);
    const QString shape = tokens_[3];
    if (shape == "group") {
      Need(4, "part <name> <parent> group");
    } else if (shape == "ellipse") {
      Need(8, "part <name> <parent> ellipse <cx> <cy> <rx> <ry>");
      part.path.addEllipse(QPointF(Coordinate(4), Coordinate(5)), Extent(6), Extent(7));
    } else if (shape == "circle") {
      Need(7, "part <name> <parent> circle <cx> <cy> <r>");
      part.path.addEllipse(QPointF(Coordinate(4), Coordinate(5)), Extent(6), Extent(6));
    } else if (shape == "rect") {
      if (tokens_.size() != 8 && tokens_.size() != 9)
        Fail("expected: part <name> <parent> rect <x> <y> <w> <h> [radius]");
      const QRectF r(Coordinate(4), Coordinate(5), Extent(6), Extent(7));
      const double radius = tokens_.size() == 9 ? Coordinate(8) : 0;
      part.path.addRoundedRect(r, radius, radius);
    } else if (shape == "path") {
      if (tokens_.size() < 5) Fail("expected: part <name> <parent> path <path data>");
      try {
        part.path = ParseSvgPath(tokens_.mid(4).join(' '));
      } catch (const std::invalid_argument& e) {
        Fail(QString("bad path of part '%1': %2").arg(part.name, e.what()));
      }
      if (part.path.elementCount() > MaxPathElements)
        Fail(QString("the path of part '%1' has more than %2 elements").arg(part.name).arg(MaxPathElements));
      const QRectF bounds = part.path.boundingRect();
      if (!(std::abs(bounds.left()) <= MaxCoordinate && std::abs(bounds.right()) <= MaxCoordinate &&
            std::abs(bounds.top()) <= MaxCoordinate && std::abs(bounds.bottom()) <= MaxCoordinate))
        Fail(QString("the path of part '%1' reaches past %2 pixels from the origin")
                 .arg(part.name)
                 .arg(MaxCoordinate));
    } else {
      Fail("unknown shape '" + shape + "' (group, ellipse, circle, rect or path)");
    }
    part.pivot = part.path.isEmpty() ? QPointF() : part.path.boundingRect().center();
    partByName_[part.name] = static_cast<int>(def_.parts.size());
    def_.parts.push_back(std::move(part));
  }

  void ParsePartAttribute(TPartDef& part) {
    const QString keyword = tokens_[0];
    if (keyword == "pivot") {
      Need(3, "pivot <x> <y>");
      part.pivot = QPointF(Coordinate(1), Coordinate(2));
    } else if (keyword == "fill") {
      part.fill = Paint(1);
    } else if (keyword == "stroke") {
      Need(3, "stroke <colour> <width>");
      part.strokeColor = Color(tokens_[1]);
      part.strokeWidth = Extent(2);
    } else if (keyword == "soft") {
      Need(1, keyword);
      part.solid = false;
      part.shaped = false;
    } else if (keyword == "hidden" || keyword == "prop") {
      Need(1, keyword);
      part.hidden = true;
      part.rest[static_cast<int>(TChannel::Alpha)] = 0;
      if (keyword == "prop") part.solid = false;
    }
  }

  TPaint Paint(int at) {
    if (tokens_.size() <= at) Fail("expected: fill solid|linear|radial ...");
    TPaint paint;
    const QString kind = tokens_[at];
    if (kind == "solid") {
      Need(at + 2, "fill solid <colour>");
      paint.kind = TPaint::Kind::Solid;
      paint.color = Color(tokens_[at + 1]);
    } else if (kind == "linear") {
      if (tokens_.size() < at + 7) Fail("expected: fill linear <x1> <y1> <x2> <y2> <stop> <stop> ...");
      paint.kind = TPaint::Kind::Linear;
      paint.from = QPointF(Coordinate(at + 1), Coordinate(at + 2));
      paint.to = QPointF(Coordinate(at + 3), Coordinate(at + 4));
      paint.stops = Stops(at + 5);
    } else if (kind == "radial") {
      if (tokens_.size() < at + 6) Fail("expected: fill radial <cx> <cy> <r> <stop> <stop> ...");
      paint.kind = TPaint::Kind::Radial;
      paint.from = QPointF(Coordinate(at + 1), Coordinate(at + 2));
      paint.radius = Extent(at + 3);
      paint.stops = Stops(at + 4);
    } else {
      Fail("unknown fill '" + kind + "' (solid, linear or radial)");
    }
    return paint;
  }

  QGradientStops Stops(int from) {
    QGradientStops stops;
    const int count = static_cast<int>(tokens_.size()) - from;
    if (count > MaxGradientStops) Fail(QString("more than %1 gradient stops").arg(MaxGradientStops));
    for (int i = 0; i < count; ++i) {
      const QString token = tokens_[from + i];
      const qsizetype colon = token.indexOf(':');
      double position = count == 1 ? 0 : double(i) / (count - 1);
      QString colour = token;
      if (colon >= 0) {
        bool ok = false;
        position = token.left(colon).toDouble(&ok);
        if (!ok || position < 0 || position > 1) Fail("bad gradient stop '" + token + "'");
        colour = token.mid(colon + 1);
      }
      stops.append({position, Color(colour)});
    }
    return stops;
  }

  void ParseAnimation() {
    if (!sawCharacter_) Fail("the 'character' line must come before the animations");
    if (tokens_.size() < 2) Fail("expected: animation <name> [hold] [loop <from ms> <to ms>]");
    FinishAnimation();
    TAnimationDef animation;
    animation.name = tokens_[1];
    const QString key = animation.name.toLower();
    if (def_.animationByKey.count(key)) Fail("animation '" + animation.name + "' is defined twice");
    if (def_.animations.size() >= MaxAnimations) Fail(QString("more than %1 animations").arg(MaxAnimations));
    for (int i = 2; i < tokens_.size(); ++i) {
      if (tokens_[i] == "hold") {
        animation.holdsEnd = true;
      } else if (tokens_[i] == "loop" && i + 2 < tokens_.size()) {
        animation.loopFromMs = Time(i + 1);
        animation.loopToMs = Time(i + 2);
        if (animation.loopToMs <= animation.loopFromMs) Fail("the loop must end after it starts");
        i += 2;
      } else {
        Fail("expected: animation <name> [hold] [loop <from ms> <to ms>], found '" + tokens_[i] + "'");
      }
    }
    def_.animationByKey[key] = static_cast<int>(def_.animations.size());
    def_.animations.push_back(std::move(animation));
    animationLine_ = line_;
    keyLines_ = 0;
    inAnimation_ = true;
  }

  void ParseKey() {
    if (tokens_.size() < 3) Fail("expected: key <ms> [ease] <part>.<channel>=<value> ...");
    if (++keyLines_ > MaxKeyLines) Fail(QString("more than %1 key lines in one animation").arg(MaxKeyLines));
    const double time = Time(1);
    TAnimationDef& animation = def_.animations.back();
    if (time < lastKeyTime_) Fail("keys must be in time order");
    const double previousLine = lastKeyTime_;
    lastKeyTime_ = time;
    int next = 2;
    TEase ease = TEase::Smooth;
    static const std::map<QString, TEase> eases{{"smooth", TEase::Smooth}, {"linear", TEase::Linear},
                                                {"step", TEase::Step},     {"in", TEase::In},
                                                {"out", TEase::Out},       {"back", TEase::Back}};
    if (const auto it = eases.find(tokens_[2]); it != eases.end()) {
      ease = it->second;
      ++next;
    }
    if (next >= tokens_.size()) Fail("the key sets no channel");
    for (; next < tokens_.size(); ++next) {
      const QString& item = tokens_[next];
      const qsizetype dot = item.indexOf('.'), equals = item.indexOf('=');
      if (dot <= 0 || equals <= dot + 1) Fail("expected <part>.<channel>=<value>, found '" + item + "'");
      const int part = PartIndex(item.left(dot));
      bool both = false;
      const TChannel channel = Channel(item.mid(dot + 1, equals - dot - 1), &both);
      bool ok = false;
      const double value = item.mid(equals + 1).toDouble(&ok);
      if (!ok || !std::isfinite(value)) Fail("bad value in '" + item + "'");
      const double limit = ChannelLimit(channel);
      if (std::abs(value) > limit)
        Fail(QString("'%1' is past the limit of %2 either way").arg(item).arg(limit));
      const float key = static_cast<float>(value);
      AddKey(animation, part, channel, previousLine, {time, key, ease});
      if (both) AddKey(animation, part, TChannel::Sy, previousLine, {time, key, ease});
    }
    animation.durationMs = std::max(animation.durationMs, time);
  }

  // A key line is a pose reached at its time from the key line before it: a
  // channel holds its value until then, and moves only between the two.
  void AddKey(TAnimationDef& animation, int part, TChannel channel, double previousLine, TKey key) {
    auto it = std::find_if(animation.tracks.begin(), animation.tracks.end(),
                           [&](const TTrack& t) { return t.part == part && t.channel == channel; });
    if (it == animation.tracks.end()) {
      TTrack track{part, channel, {}};
      // Every track starts from the part's rest value.
      if (key.timeMs > 0) track.keys.push_back({0, Rest(part, channel), TEase::Step});
      animation.tracks.push_back(std::move(track));
      it = animation.tracks.end() - 1;
    }
    if (!it->keys.empty() && it->keys.back().timeMs < previousLine)
      it->keys.push_back({previousLine, it->keys.back().value, TEase::Step});
    if (!it->keys.empty() && it->keys.back().timeMs == key.timeMs) it->keys.pop_back();
    it->keys.push_back(key);
  }

  float Rest(int part, TChannel channel) const { return def_.parts[part].rest[static_cast<int>(channel)]; }

  // Ends the animation being read: every track settles back to rest.
  void FinishAnimation() {
    if (!inAnimation_) return;
    TAnimationDef& animation = def_.animations.back();
    if (animation.tracks.empty()) {
      line_ = animationLine_;
      Fail("animation '" + animation.name + "' has no keys");
    }
    if (animation.Loops() && animation.loopToMs > animation.durationMs) {
      line_ = animationLine_;
      Fail("the loop of animation '" + animation.name + "' ends after its last key");
    }
    const double keysEnd = animation.durationMs;
    for (TTrack& track : animation.tracks) {
      if (animation.holdsEnd) break;
      const float rest = Rest(track.part, track.channel);
      if (track.keys.back().value != rest) {
        // Things appear and vanish quicker than limbs move, so that two
        // faces do not cross-fade for long.
        const double settle = track.channel == TChannel::Alpha ? ReturnToRestMs / 2 : ReturnToRestMs;
        track.keys.push_back({keysEnd + settle, rest, TEase::Smooth});
        animation.durationMs = std::max(animation.durationMs, keysEnd + ReturnToRestMs);
      }
    }
    lastKeyTime_ = 0;
    inAnimation_ = false;
  }

  void Finish() {
    if (!sawHeader_) Fail("the file is empty; it must start with 'perch-character 1'");
    FinishAnimation();
    if (!sawCharacter_) Fail("the file has no 'character' line");
    if (def_.parts.empty()) Fail("the character has no parts");
    for (const char* needed : {ShowAnimation, HideAnimation, FlyAnimation, BlinkAnimation})
      if (!def_.Find(needed))
        Fail(QString("the character has no '%1' animation, which the service plays itself").arg(needed));
  }

  int PartIndex(const QString& name) {
    const auto it = partByName_.find(name);
    if (it == partByName_.end()) Fail("unknown part '" + name + "'");
    return it->second;
  }

  TChannel Channel(const QString& name, bool* both) {
    static const std::map<QString, TChannel> channels{{"rot", TChannel::Rot}, {"dx", TChannel::Dx},
                                                      {"dy", TChannel::Dy},   {"sx", TChannel::Sx},
                                                      {"sy", TChannel::Sy},   {"alpha", TChannel::Alpha}};
    if (both) *both = false;
    if (name == "scale" && both) {
      *both = true;
      return TChannel::Sx;
    }
    const auto it = channels.find(name);
    if (it == channels.end()) Fail("unknown channel '" + name + "' (rot, dx, dy, sx, sy, scale or alpha)");
    return it->second;
  }

  QColor Color(const QString& text) {
    static const QRegularExpression hex("^#([0-9a-fA-F]{6})([0-9a-fA-F]{2})?$");
    const auto match = hex.match(text);
    if (!match.hasMatch()) Fail("bad colour '" + text + "' (#rrggbb or #rrggbbaa)");
    QColor colour(QString("#") + match.captured(1));
    if (match.hasCaptured(2)) colour.setAlpha(match.captured(2).toInt(nullptr, 16));
    return colour;
  }

  double Number(int at) {
    bool ok = false;
    const double value = tokens_[at].toDouble(&ok);
    if (!ok || !std::isfinite(value)) Fail("'" + tokens_[at] + "' is not a number");
    return value;
  }
  double Positive(int at) {
    const double value = Number(at);
    if (value <= 0) Fail("'" + tokens_[at] + "' must be greater than 0");
    return value;
  }
  double NonNegative(int at) {
    const double value = Number(at);
    if (value < 0) Fail("'" + tokens_[at] + "' must not be negative");
    return value;
  }
  double Within(int at, double low, double high) {
    const double value = Number(at);
    if (value < low || value > high)
      Fail(QString("'%1' is outside the limits %2 to %3").arg(tokens_[at]).arg(low).arg(high));
    return value;
  }
  double Coordinate(int at) { return Within(at, -MaxCoordinate, MaxCoordinate); }
  // A radius, width or stroke: more than 0, at most the coordinate limit.
  double Extent(int at) {
    const double value = Positive(at);
    if (value > MaxCoordinate)
      Fail(QString("'%1' is past the limit of %2 pixels").arg(tokens_[at]).arg(MaxCoordinate));
    return value;
  }
  double Size(int at, const char* what) {
    const double value = Positive(at);
    if (value > MaxCharacterSize)
      Fail(
          QString("the %1 '%2' is past the limit of %3 pixels").arg(what, tokens_[at]).arg(MaxCharacterSize));
    return value;
  }
  double Time(int at) {
    const double value = NonNegative(at);
    if (value > MaxTimeMs)
      Fail(QString("the time '%1' is past the limit of %2 ms").arg(tokens_[at]).arg(MaxTimeMs));
    return value;
  }
  static double ChannelLimit(TChannel channel) {
    switch (channel) {
      case TChannel::Rot: return MaxRotation;
      case TChannel::Dx:
      case TChannel::Dy: return MaxCoordinate;
      default: return MaxFactor;
    }
  }
  void Need(int count, const QString& form) {
    if (tokens_.size() != count) Fail("expected: " + form);
  }
  [[noreturn]] void Fail(const QString& what) const {
    throw TAgentError(QString("%1:%2: %3").arg(file_).arg(line_).arg(what).toStdString());
  }

  const QString& text_;
  QString file_;
  qsizetype line_ = 0;
  QStringList tokens_;
  TCharacterDef def_;
  std::map<QString, int> partByName_;
  bool sawHeader_ = false, sawCharacter_ = false, inAnimation_ = false;
  qsizetype animationLine_ = 0;
  int keyLines_ = 0;
  double lastKeyTime_ = 0;
};

}  // namespace

TCharacterDef ParseCharacterText(const QString& text, const QString& fileName) {
  return TCharacterParser(text, fileName).Parse();
}

TCharacterDef LoadCharacterFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw TAgentError(
        QString("%1: cannot read the character file: %2").arg(path, file.errorString()).toStdString());
  // Character files are small; a huge one is not ours.
  if (file.size() > qint64{4} * 1024 * 1024)
    throw TAgentError(QString("%1: the character file is too large").arg(path).toStdString());
  QString text = QString::fromUtf8(file.readAll());
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);  // a byte-order mark from some editors
  return ParseCharacterText(text, path);
}

QString ResolveCharacterFile(const QString& name) {
  if (name.isEmpty()) return {};
  if (name.contains('/')) return QFileInfo::exists(name) ? name : QString();
  const QString exeDir = QCoreApplication::applicationDirPath();
  for (const QString& folder :
       {exeDir, exeDir + "/characters", exeDir + "/../share/perch/characters",
        QString("/usr/local/share/perch/characters"), QString("/usr/share/perch/characters")}) {
    const QString candidate = QDir(folder).filePath(name);
    if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
  }
  return {};
}

}  // namespace perch
