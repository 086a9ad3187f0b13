// The bird's home on the desktop. Kept in the [parameter] section of
// config.ini:
//   monitor, left, top  where the user last let go of the bird: the monitor
//                       (by name) and its top left from that monitor's top
//                       left; perching, whether it perched there
//   size                small, normal or large
//   volume, mute        the voice's volume (0 to 100) and its silence (1)
// Each is read by FormCreate; a key missing leaves that part as designed.

#include "companion/Actor.h"
#include "companion/Companion.h"
#include "companion/ScreenArea.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <optional>

namespace perch {

namespace {

const QString Section = QString::fromLatin1(SettingsSection);
const QString MonitorKey = QStringLiteral("monitor");
const QString LeftKey = QStringLiteral("left");
const QString TopKey = QStringLiteral("top");
const QString PerchingKey = QStringLiteral("perching");
const QString SizeKey = QStringLiteral("size");
const QString VolumeKey = QStringLiteral("volume");
const QString MuteKey = QStringLiteral("mute");

struct TSizeName {
  TActor::TBirdSize size;
  const char* name;
};
constexpr TSizeName SizeNames[] = {{TActor::TBirdSize::Small, "small"},
                                   {TActor::TBirdSize::Normal, "normal"},
                                   {TActor::TBirdSize::Large, "large"}};

QString SizeName(TActor::TBirdSize size) {
  for (const TSizeName& entry : SizeNames)
    if (entry.size == size) return QString::fromLatin1(entry.name);
  return QStringLiteral("normal");
}

std::optional<TActor::TBirdSize> ParseSize(const QString& text) {
  const QString name = text.trimmed().toLower();
  for (const TSizeName& entry : SizeNames)
    if (name == QLatin1String(entry.name)) return entry.size;
  return std::nullopt;
}

std::int16_t Coordinate(int value) { return static_cast<std::int16_t>(std::clamp(value, -32768, 32767)); }

// The top left that puts the whole bird inside the monitor (its top left
// on it where the bird is larger).
QPoint Inside(QRect bird, QRect monitor) {
  return {std::max(monitor.left(), std::min(bird.left(), monitor.right() + 1 - bird.width())),
          std::max(monitor.top(), std::min(bird.top(), monitor.bottom() + 1 - bird.height()))};
}

const QScreen* ScreenNamed(const QString& name) {
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->name() == name) return screen;
  return nullptr;
}

}  // namespace

double TActor::BirdScale(TBirdSize size) {
  switch (size) {
    case TBirdSize::Small: return 0.75;
    case TBirdSize::Large: return 1.5;
    case TBirdSize::Normal: break;
  }
  return 1.0;
}

void TActor::RestoreHome() {
  ReadNames(false);
  // The size first: the kept place is clamped for the bird as large as it is.
  if (const auto size = IniFile->ReadString(Section, SizeKey)) {
    if (const auto parsed = ParseSize(*size); parsed && *parsed != TBirdSize::Normal)
      Character->setScale(BirdScale(*parsed));
  }
  if (IniFile->ReadString(Section, VolumeKey))
    Character->setVolume(std::clamp(IniFile->ReadInteger(Section, VolumeKey, 100), 0, 100));
  if (IniFile->ReadInteger(Section, MuteKey, 0) != 0) Character->setMuted(true);

  const auto left = IniFile->ReadString(Section, LeftKey);
  const auto top = IniFile->ReadString(Section, TopKey);
  if (!left || !top) {
    // On the primary monitor, inside its available area.
    const QRect area = PrimaryArea();
    Character->setTop(Coordinate(area.y() + 10));
    Character->setLeft(Coordinate(area.x() + area.width() - 450));
    return;
  }
  Perching = IniFile->ReadInteger(Section, PerchingKey, 0) != 0;
  const QPoint offset(IniFile->ReadInteger(Section, LeftKey, 0), IniFile->ReadInteger(Section, TopKey, 0));
  const QSize size(Character->Width(), Character->Height());
  // Where it was on its monitor, if that is still there; else at the same
  // offset on the primary one, inside its available area. Whole either way.
  QRect monitor;
  if (const QScreen* kept = ScreenNamed(IniFile->ReadString(Section, MonitorKey).value_or(QString())))
    monitor = kept->geometry();
  else monitor = PrimaryArea();
  const QPoint place = monitor.isEmpty() ? offset : Inside(QRect(monitor.topLeft() + offset, size), monitor);
  Character->setTop(Coordinate(place.y()));
  Character->setLeft(Coordinate(place.x()));
}

void TActor::KeepPlace() {
  if (IniFile == nullptr || Character == nullptr) return;
  const QRect bird(Character->Left(), Character->Top(), Character->Width(), Character->Height());
  const QScreen* screen = QGuiApplication::screenAt(bird.center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QPoint origin = screen != nullptr ? screen->geometry().topLeft() : QPoint();
  if (screen != nullptr) IniFile->WriteString(Section, MonitorKey, screen->name());
  IniFile->WriteInteger(Section, LeftKey, bird.x() - origin.x());
  IniFile->WriteInteger(Section, TopKey, bird.y() - origin.y());
  IniFile->WriteInteger(Section, PerchingKey, Perching ? 1 : 0);
}

void TActor::ChangeSize(TBirdSize size) {
  if (Character != nullptr) Character->setScale(BirdScale(size));
  if (IniFile != nullptr) IniFile->WriteString(Section, SizeKey, SizeName(size));
}

void TActor::ChangeMuted(bool muted) {
  if (Character != nullptr) Character->setMuted(muted);
  if (IniFile != nullptr) IniFile->WriteInteger(Section, MuteKey, muted ? 1 : 0);
}

void TActor::ChangeVolume(std::int64_t percent) {
  const int volume = static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
  if (Character != nullptr) Character->setVolume(volume);
  if (IniFile != nullptr) IniFile->WriteInteger(Section, VolumeKey, volume);
}

void TActor::FlyAway() {
  if (Character == nullptr || Character->Away()) return;
  Character->FlyOff();
}

void TActor::ComeBack() {
  if (Character == nullptr || !Character->Away()) return;
  Character->FlyBack();
}

void TActor::ReadNames(bool sayNewOnes) {
  if (IniFile == nullptr) return;
  const QString halName = IniFile->ReadString(Section, QStringLiteral("halname")).value_or(QString());
  const QString userName = IniFile->ReadString(Section, QStringLiteral("username")).value_or(QString());
  const bool newHalName = halName != HalName;
  const bool newUserName = userName != UserName;
  HalName = halName;
  UserName = userName;
  if (!sayNewOnes || Character == nullptr || Away()) return;
  // The lines the introduction says when it is given the names.
  if (newHalName && !halName.isEmpty()) Say(tr("Cool, my name is %1").arg(halName));
  if (newUserName && !userName.isEmpty()) Say(tr("Great,Your name is %1.").arg(userName));
}

}  // namespace perch
