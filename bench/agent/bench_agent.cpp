// Frame cost of the bird at scale 1 and 2, and the CPU a process spends
// showing it idle and while animations play (counter "cpu_percent", of one
// core, measured over a few seconds of the real event loop, offscreen).

#include "AgentControl.h"
#include "CharacterFile.h"
#include "CharacterPainter.h"
#include "CharacterService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>

namespace {

const TCharacterDef& Bird() {
  static const TCharacterDef bird = LoadCharacterFile(ResolveCharacterFile("bird.chr"));
  return bird;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_Frame(benchmark::State& state) {
  const TCharacterDef& bird = Bird();
  const double scale = state.range(0);
  const TAnimationDef& wave = *bird.Find("Wave");
  QImage target(int(bird.size.width() * scale), int(bird.size.height() * scale), QImage::Format_ARGB32_Premultiplied);
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

void BM_WindowShape(benchmark::State& state) {
  const TCharacterDef& bird = Bird();
  const TPose pose = EvaluateAnimation(bird, *bird.Find("Wave"), 500);
  for (auto _ : state) benchmark::DoNotOptimize(CharacterOutline(bird, pose, 1.0, 0, TOutline::Visible));
}
BENCHMARK(BM_WindowShape)->Unit(benchmark::kMicrosecond);

void RunEventLoop(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Runs the service for a few seconds; range 0: idle, 1: playing animations.
void BM_ProcessCpu(benchmark::State& state) {
  const bool animating = state.range(0) == 1;
  for (auto _ : state) {
    TAgent agent;
    agent.setConnected(true);
    agent.Characters().Load("bench", "bird.chr");
    TAgentCharacter& bird = agent.Characters().Character("bench");
    bird.Show(true);
    RunEventLoop(300);
    const double cpuBefore = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    const QStringList names{"Wave", "Reading", "Idle2_2", "GetAttention", "thinking", "Writing"};
    int next = 0;
    QTimer feeder;
    QObject::connect(&feeder, &QTimer::timeout, [&] {
      if (animating && !bird.Impl().Busy()) bird.Play(names[next++ % names.size()]);
    });
    feeder.start(100);
    RunEventLoop(8000);
    state.counters["cpu_percent"] = (CpuSeconds() - cpuBefore) / (clock.elapsed() / 1000.0) * 100.0;
  }
}
BENCHMARK(BM_ProcessCpu)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
