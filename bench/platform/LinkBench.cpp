#include "platform/LinkMessage.h"
#include "platform/LinkWindow.h"
#include "platform/TextDecoding.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <optional>

using namespace perch;

namespace {

void BM_DecodeRequest(benchmark::State& state) {
  const auto datagram = perch::EncodeMessage(perch::WM_COMPANION, 3, 0);
  for (auto _ : state) benchmark::DoNotOptimize(perch::DecodeDatagram(datagram));
}
BENCHMARK(BM_DecodeRequest);

// A text of the given length, UTF-8 (checked and kept) or GB18030 (converted).
void BM_DecodeText(benchmark::State& state, bool utf8) {
  const std::string unit = utf8 ? "你好 bird " : "\xC4\xE3\xBA\xC3 bird ";
  std::string text;
  while (text.size() < static_cast<std::size_t>(state.range(0))) text += unit;
  const auto datagram = perch::EncodeCopyData(text);
  for (auto _ : state) benchmark::DoNotOptimize(perch::DecodeDatagram(datagram));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK_CAPTURE(BM_DecodeText, utf8, true)->Arg(64)->Arg(65000);
BENCHMARK_CAPTURE(BM_DecodeText, gb18030, false)->Arg(64)->Arg(65000);

// Post one request and take it from the receiving window.
void BM_PostAndReceive(benchmark::State& state) {
  char pattern[] = "/tmp/perch-bench.XXXXXX";
  const std::string folder = mkdtemp(pattern);
  perch::TLinkWindow window(perch::CompanionClass, folder);
  const auto datagram = perch::EncodeMessage(perch::WM_COMPANION, 3, 0);
  std::optional<perch::TLinkMessage> message;
  for (auto _ : state) {
    perch::PostToWindow(perch::CompanionClass, datagram, folder);
    window.ReceiveOne(message);
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PostAndReceive);

}  // namespace

BENCHMARK_MAIN();
