// Building the write frame and evaluating a received reply: both run on the
// user-interface thread and should stay far below a millisecond.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "device/reply.h"
#include "device/text_fields.h"
#include "device/write_frame.h"
#include "settings/memory_settings.h"

namespace {

using namespace qvx;

void BM_CheckAndBuildWriteFrame(benchmark::State& state) {
  MemorySettings settings;
  for (auto _ : state) {
    const device::TextCheck check = device::CheckTextFields(device::ReadTextFields(settings));
    benchmark::DoNotOptimize(check);
    benchmark::DoNotOptimize(device::BuildWriteFrame(settings));
  }
}
BENCHMARK(BM_CheckAndBuildWriteFrame);

std::string NoisyReply() {
  std::string reply = "\r\nOK\r\n";
  const device::TextFields texts = device::ReadTextFields(MemorySettings());
  for (int field = 0; field < 15; ++field) reply += "123456: \r";
  for (const std::string& text : texts) reply += text + ":";
  return reply + "#\r\n";
}

void BM_EvaluateReply(benchmark::State& state) {
  const std::string buffer = NoisyReply();
  for (auto _ : state) benchmark::DoNotOptimize(device::EvaluateReceiveBuffer(buffer));
}
BENCHMARK(BM_EvaluateReply);

// Reference for the evaluation: the least a reader of the reply does, keeping
// the digits, ":" and "+" before the "#" and splitting them at every ":".
void BM_SplitReply(benchmark::State& state) {
  const std::string buffer = NoisyReply();
  for (auto _ : state) {
    std::vector<std::string> entries(1);
    for (char c : std::string_view(buffer).substr(0, buffer.find('#'))) {
      if (c == ':')
        entries.emplace_back();
      else if ((c >= '0' && c <= '9') || c == '+')
        entries.back().push_back(c);
    }
    benchmark::DoNotOptimize(entries);
  }
}
BENCHMARK(BM_SplitReply);

void BM_EvaluateAndApplyReply(benchmark::State& state) {
  const std::string buffer = NoisyReply();
  MemorySettings settings;
  for (auto _ : state) device::ApplyReply(settings, device::EvaluateReceiveBuffer(buffer));
}
BENCHMARK(BM_EvaluateAndApplyReply);

// A full 2000 ms window of line noise without an end mark.
void BM_EvaluateLongNoise(benchmark::State& state) {
  const std::string buffer(11520, '.');
  for (auto _ : state) benchmark::DoNotOptimize(device::EvaluateReceiveBuffer(buffer));
}
BENCHMARK(BM_EvaluateLongNoise);

}  // namespace
