// How long a line takes from text to samples and timed words: the wait
// between a Speak and its Started.
#include "agent/voice/Voice.h"
#include "agent/voice/WordTiming.h"

#include <benchmark/benchmark.h>

using namespace perch;

namespace {

void SynthesizeLine(benchmark::State& state, const QString& text, int languageId) {
  TVoice::Synthesize(text, languageId);  // loads the voice once
  int durationMs = 0;
  for (auto _ : state) {
    const TSynthesizedSpeech speech = TVoice::Synthesize(text, languageId);
    durationMs = speech.durationMs;
    benchmark::DoNotOptimize(speech.samples.data());
  }
  state.counters["audio_ms"] = durationMs;
}

void BM_SynthesizeEnglish(benchmark::State& state) {
  SynthesizeLine(state, "I am looking very forward to spending time with you!", 1033);
}
BENCHMARK(BM_SynthesizeEnglish)->Unit(benchmark::kMillisecond);

void BM_SynthesizeChinese(benchmark::State& state) {
  SynthesizeLine(state, QString::fromUtf8("你好！我叫小鸟，我们下棋吧。"), 2052);
}
BENCHMARK(BM_SynthesizeChinese)->Unit(benchmark::kMillisecond);

// Alternating languages switches the espeak voice before every line.
void BM_SynthesizeAlternating(benchmark::State& state) {
  const QString english = "Hi,Play Chess with me?";
  const QString chinese = QString::fromUtf8("我们下棋吧！");
  for (auto _ : state) {
    benchmark::DoNotOptimize(TVoice::Synthesize(english, 1033).samples.data());
    benchmark::DoNotOptimize(TVoice::Synthesize(chinese, 2052).samples.data());
  }
}
BENCHMARK(BM_SynthesizeAlternating)->Unit(benchmark::kMillisecond);

// Matching word events to the words of the longest line spoken in full.
void BM_TimeWordsLongLine(benchmark::State& state) {
  QString text;
  std::vector<TWordEvent> events;
  while (text.size() < 3990) {
    events.push_back({int(text.size()), int(events.size()) * 300});
    text += "bird ";
  }
  for (auto _ : state) benchmark::DoNotOptimize(TimeWords(text, events, int(events.size()) * 300).data());
}
BENCHMARK(BM_TimeWordsLongLine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
