// Frame cost of the bird at scale 1 and 2, painted from its vectors, kept
// once painted and copied from the kept frames, the cost of its outline; then the real
// companion's CPU (idle, greeting, working, waiting at the board), context
// switches and memory under Xvfb, with oneko idling beside it.

#include "agent/AgentControl.h"
#include "agent/CharacterFile.h"
#include "agent/CharacterFrames.h"
#include "agent/CharacterPainter.h"

#include <QApplication>
#include <QPainter>
#include <QProcess>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using namespace perch;

namespace {

const TCharacterDef& Bird() {
  static const TCharacterDef bird = LoadCharacterFile(ResolveCharacterFile("bird.chr"));
  return bird;
}

void BM_Frame(benchmark::State& state) {
  const TCharacterDef& bird = Bird();
  const auto scale = static_cast<double>(state.range(0));
  const TAnimationDef& wave = *bird.Find("Wave");
  QImage target(int(bird.size.width() * scale), int(bird.size.height() * scale),
                QImage::Format_ARGB32_Premultiplied);
  double t = 0;
  for (auto _ : state) {
    const TPose pose = EvaluateAnimation(bird, wave, t);
    target.fill(Qt::transparent);
    QPainter painter(&target);
    painter.scale(scale, scale);
    PaintCharacter(painter, bird, pose);
    t = t > wave.durationMs ? 0 : t + 20;
  }
}
BENCHMARK(BM_Frame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// A breath from the kept frames: the copy a frame costs once painted.
void BM_KeptFrame(benchmark::State& state) {
  const TCharacterDef& bird = Bird();
  const auto scale = static_cast<double>(state.range(0));
  const TAnimationDef& breathe = *bird.Find("Breathe");
  TFrameCache frames(bird, scale, Qt::transparent, 1);
  QImage target(int(bird.size.width() * scale), int(bird.size.height() * scale),
                QImage::Format_ARGB32_Premultiplied);
  double t = 0;
  for (auto _ : state) {
    const auto frame = frames.Frame(EvaluateAnimation(bird, breathe, t), 1.0);
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(target.rect(), Qt::transparent);
    for (const TCharacterFrame::TStrip& strip : frame->strips) painter.drawImage(strip.offset, strip.image);
    t = t > breathe.durationMs ? 0 : t + 40;
  }
  state.counters["painted"] = frames.Painted();
}
BENCHMARK(BM_KeptFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// A frame not kept: painted (on a pool thread), cropped and outlined. The
// CPU of all threads counts, since Qt may spread a fill over its pool.
void BM_PaintedFrame(benchmark::State& state) {
  const TCharacterDef& bird = Bird();
  const TAnimationDef& processing = *bird.Find("Processing");
  TFrameCache frames(bird, static_cast<double>(state.range(0)), QColor("#9a8a70"), 0, 0,
                     0);  // keeps only the newest
  double t = processing.loopFromMs;
  for (auto _ : state) {
    benchmark::DoNotOptimize(frames.Frame(EvaluateAnimation(bird, processing, t), 1.0));
    t = t >= processing.loopToMs ? processing.loopFromMs : t + 20;
  }
  state.counters["painted"] = frames.Painted();
}
BENCHMARK(BM_PaintedFrame)->Arg(1)->Arg(2)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

void BM_WindowShape(benchmark::State& state) {
  const TCharacterDef& bird = Bird();
  const TPose pose = EvaluateAnimation(bird, *bird.Find("Wave"), 500);
  for (auto _ : state) benchmark::DoNotOptimize(CharacterOutline(bird, pose, 1.0, 0, TOutline::Visible));
}
BENCHMARK(BM_WindowShape)->Unit(benchmark::kMicrosecond);

// The real companion on its own Xvfb display (perch_cost.sh), several runs:
// the counters are the medians; the spread is printed beside them.
void BM_RealPerch(benchmark::State& state) {
  const int runs = qEnvironmentVariableIsSet("PERCH_BENCH_RUNS")
                       ? std::max(1, qEnvironmentVariableIntValue("PERCH_BENCH_RUNS"))
                       : 3;
  for (auto _ : state) {
    std::map<std::string, std::vector<double>> figures;
    for (int run = 0; run < runs; ++run) {
      QProcess script;
      script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
      script.start("bash", {PERCH_COST_SCRIPT, QCoreApplication::applicationDirPath()});
      if (!script.waitForFinished(10 * 60 * 1000) || script.exitCode() != 0) {
        state.SkipWithError("perch_cost.sh failed (is Xvfb installed?)");
        return;
      }
      for (const QByteArray& line : script.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 2) figures[words[0].toStdString()].push_back(words[1].toDouble());
      }
    }
    for (auto& [name, values] : figures) {
      std::sort(values.begin(), values.end());
      const double median = values.size() % 2
                                ? values[values.size() / 2]
                                : (values[values.size() / 2 - 1] + values[values.size() / 2]) / 2;
      state.counters[name] = median;
      std::printf("  %-36s median %8.2f   min %8.2f   max %8.2f   (%zu runs)\n", name.c_str(), median,
                  values.front(), values.back(), values.size());
    }
  }
}
BENCHMARK(BM_RealPerch)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
