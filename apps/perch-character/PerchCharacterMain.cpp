// perch-character: shows the bird and plays every animation in turn, with an
// English and a Chinese line between them; with --sheet it writes a contact
// sheet instead (a labelled row of frames for each animation).
//
//   perch-character [--file bird.chr] [--idle]
//   perch-character --sheet out.png [--file bird.chr] [--frames n] [--scale s]
//   perch-character --version | --help

#include "agent/CharacterFile.h"
#include "agent/CharacterPainter.h"
#include "agent/CharacterService.h"
#include "agent/ServiceAgent.h"

#include "apps/common/ProgramInfo.h"
#include "apps/common/WindowManagerRequests.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

using namespace perch;

namespace {

constexpr const char* Help =
    "usage: perch-character [--file bird.chr] [--idle]\n"
    "       perch-character --sheet out.png [--file bird.chr] [--frames n] [--scale s]\n"
    "       perch-character --version | --help\n"
    "\n"
    "Shows Perch's bird and plays every animation in turn, with an English and a\n"
    "Chinese line between them; with --sheet it writes a contact sheet instead.\n"
    "  --file chr     the character file (default bird.chr)\n"
    "  --idle         only show the bird, idling\n"
    "  --sheet png    write a contact sheet to png (QT_QPA_PLATFORM=offscreen\n"
    "                 needs no display)\n"
    "  --frames n     frames per animation on the sheet (default 8)\n"
    "  --scale s      scale of the frames on the sheet (default 0.7)\n"
    "See perch-character(6).\n";

// The whole sheet is bounded, not only each frame: its pixels (memory) and
// the pixels of all the frames painted on it (time).
constexpr double MaxSheetPixels = 64e6;  // 256 MB as 32-bit pixels
constexpr double MaxPaintedPixels = 256e6;

int WriteSheet(const TCharacterDef& character, const QString& out, int frames, double scale) {
  const int cellW = int(character.size.width() * scale), cellH = int(character.size.height() * scale);
  const int labelW = 150, rowH = cellH + 6;
  const double rows = double(character.animations.size());
  const double width = labelW + double(frames) * cellW, height = rows * rowH;
  if (width * height > MaxSheetPixels || rows * frames * cellW * cellH > MaxPaintedPixels) {
    std::fprintf(stderr,
                 "perch-character: the sheet would be %.0f x %.0f pixels (%zu animations, %d frames each at "
                 "%dx%d); at most %.0f million pixels: use fewer --frames or a smaller --scale\n",
                 width, height, character.animations.size(), frames, cellW, cellH, MaxSheetPixels / 1e6);
    return 1;
  }
  QImage sheet(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
  if (sheet.isNull()) {
    std::fprintf(stderr, "perch-character: no memory for a sheet of %.0f x %.0f pixels\n", width, height);
    return 1;
  }
  sheet.fill(QColor("#f4f1ea"));
  QPainter painter(&sheet);
  QFont font("Liberation Sans");
  font.setPixelSize(15);
  font.setBold(true);
  painter.setFont(font);
  for (size_t row = 0; row < character.animations.size(); ++row) {
    const TAnimationDef& animation = character.animations[row];
    const int y = int(row) * rowH;
    painter.fillRect(0, y, sheet.width(), rowH, row % 2 ? QColor("#ebe6db") : QColor("#f4f1ea"));
    painter.setPen(QColor("#3a3026"));
    painter.drawText(QRect(8, y, labelW - 12, rowH), Qt::AlignVCenter | Qt::TextWordWrap,
                     QString("%1\n%2 ms").arg(animation.name).arg(animation.durationMs, 0, 'f', 0));
    for (int f = 0; f < frames; ++f) {
      const double t = animation.durationMs * f / std::max(1, frames - 1) * 0.96;
      painter.drawImage(labelW + f * cellW, y + 3,
                        RenderCharacter(character, EvaluateAnimation(character, animation, t), scale));
    }
  }
  painter.end();
  if (!sheet.save(out)) {
    std::fprintf(stderr, "perch-character: cannot write %s\n", qPrintable(out));
    return 1;
  }
  std::printf("perch-character: wrote %s (%zu animations)\n", qPrintable(out), character.animations.size());
  return 0;
}

// Plays every animation the companion uses, one after the other, with an
// English line first, a Chinese one halfway and a flight at the end; forever.
void RunShow(TServiceCharacter& bird) {
  static const QStringList steps{
      ":english", "Greet",     "Wave",      "RestPose",     "GestureDown", "GestureLeft", "Pleased",
      "Write",    "hearing_1", "hearing_2", "hearing_3",    "confused",    "Idle2_1",     ":chinese",
      "Idle2_2",  "Idle3_1",   "Idle3_2",   "Idle3_3",      "Blink",       "Processing",  "Reading",
      "Writing",  "Searching", "thinking",  "GetAttention", "sad",         ":fly"};
  auto* step = new int(0);
  auto* timer = new QTimer(qApp);
  auto* sinceQueued = new QElapsedTimer;
  sinceQueued->start();
  QObject::connect(timer, &QTimer::timeout, [&bird, step, sinceQueued] {
    // Looping animations hold until something waits: give each a few seconds.
    if (bird.Impl().Waiting() > 0 || (bird.Impl().Busy() && sinceQueued->elapsed() < 3500)) return;
    sinceQueued->restart();
    const QString& next = steps[(*step)++ % steps.size()];
    std::printf("%s\n", qPrintable(next));
    std::fflush(stdout);
    if (next == ":english") {
      bird.setLanguageID(1033);
      bird.Speak("Hello! I am Pip. Shall we play a game of chess together?", "");
    } else if (next == ":chinese") {
      bird.setLanguageID(2052);
      bird.Speak("你好！我是小鸟。我们一起下棋吧，好吗？", "");
      bird.setLanguageID(1033);
    } else if (next == ":fly") {
      const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
      const int x = bird.Left() < area.center().x() - 100 ? area.center().x() + 150 : area.center().x() - 350;
      bird.MoveTo(std::int16_t(x), std::int16_t(bird.Top()), 1);
    } else {
      bird.Play(next);
    }
  });
  timer->start(300);
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = AnswerInformationOptions(argc, argv, "perch-character", Help)) return *status;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
    std::fprintf(stderr,
                 "perch-character: no display (set DISPLAY, or QT_QPA_PLATFORM=offscreen for --sheet)\n");
    return 2;
  }
  QApplication app(argc, argv);
  TWindowManagerRequests::Install();
  QCommandLineParser options;
  options.addOption({"sheet", "Write a contact sheet to <png>.", "png"});
  options.addOption({"file", "The character file (default bird.chr).", "chr", "bird.chr"});
  options.addOption({"frames", "Frames per animation on the sheet.", "n", "8"});
  options.addOption({"scale", "Scale of the frames on the sheet (default 0.7).", "s", ""});
  options.addOption({"idle", "Only show the bird, idling."});
  options.process(app);

  try {
    const QString path = ResolveCharacterFile(options.value("file"));
    if (path.isEmpty())
      throw TAgentError(("character file not found: " + options.value("file")).toStdString());
    if (options.isSet("sheet")) {
      // Bounded so that the sheet's pixel sizes stay far inside an int.
      bool scaleOk = true, framesOk = true;
      const double scale = options.value("scale").isEmpty() ? 0.7 : options.value("scale").toDouble(&scaleOk);
      const int frames = options.value("frames").toInt(&framesOk);
      if (!scaleOk || !(scale > 0 && scale <= 8))
        throw TAgentError("--scale wants a number above 0, at most 8");
      if (!framesOk || frames < 1 || frames > 100) throw TAgentError("--frames wants a count from 1 to 100");
      return WriteSheet(LoadCharacterFile(path), options.value("sheet"), frames, scale);
    }
    TServiceAgent agent;
    agent.setConnected(true);
    agent.Characters().Load("viewer", path);
    TServiceCharacter& bird = agent.Characters().Character("viewer");
    agent.OnClick = [](TAgent*, const QString& id, int button, int, std::int16_t x, std::int16_t y) {
      std::printf("click on %s: button %d at %d,%d\n", qPrintable(id), button, x, y);
      std::fflush(stdout);
    };
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    bird.setLeft(std::int16_t(area.center().x() - 100));
    bird.setTop(std::int16_t(area.center().y() - 40));
    bird.Show(false);
    if (!options.isSet("idle")) RunShow(bird);
    return app.exec();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "perch-character: %s\n", e.what());
    return 1;
  }
}
