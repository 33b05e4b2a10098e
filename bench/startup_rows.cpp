#include "bench/startup_rows.h"

#include <sstream>
#include <stdexcept>

#include "app/startup_probe.h"
#include "bench/spawn.h"

namespace qvx::bench {
namespace {

struct Start {
  double first_paint_ms;
  double peak_mb;
  double cpu_ms;
};

Start StartOnce(const std::string& program) {
  const Finished run = RunProgram({program}, {std::string(kStartupProbeVariable) + "=1"});
  std::istringstream output(run.output);
  std::string word;
  long long painted_ns = 0;
  while (output >> word && word != "first-paint") {
  }
  if (!(output >> painted_ns) || run.exit_code != 0)
    throw std::runtime_error(program + " did not report its first paint");
  const auto started_ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(run.started.time_since_epoch()).count();
  return {static_cast<double>(painted_ns - started_ns) / 1e6,
          static_cast<double>(run.peak_rss_kb) / 1024, run.cpu_ms};
}

}  // namespace

std::vector<Row> StartupRows(const std::string& program, const std::string& reference, int runs) {
  StartOnce(program);  // file caches, font caches
  StartOnce(reference);
  std::vector<double> times, memory, cpu, reference_times, reference_memory, reference_cpu;
  for (int run = 0; run < runs; ++run) {
    // Alternating the order evens out a machine that gets busier or quieter.
    for (int turn = 0; turn < 2; ++turn) {
      const bool ours = (turn == 0) == (run % 2 == 1);
      const Start start = StartOnce(ours ? program : reference);
      (ours ? times : reference_times).push_back(start.first_paint_ms);
      (ours ? memory : reference_memory).push_back(start.peak_mb);
      (ours ? cpu : reference_cpu).push_back(start.cpu_ms);
    }
  }
  const double time = Median(times), reference_time = Median(reference_times);
  const double mb = Median(memory), reference_mb = Median(reference_memory);
  const double cpu_ms = Median(cpu), reference_cpu_ms = Median(reference_cpu);
  return {
      {"start-up: process start to first paint", Milliseconds(time),
       "bare window " + Milliseconds(reference_time), time / reference_time, "1.30"},
      {"start-up: peak resident memory", Megabytes(mb), "bare window " + Megabytes(reference_mb),
       mb / reference_mb, "1.20"},
      // What a busy machine stretches the time by: the processor time used.
      {"start-up: processor time to the end", Milliseconds(cpu_ms),
       "bare window " + Milliseconds(reference_cpu_ms), cpu_ms / reference_cpu_ms, ""},
  };
}

}  // namespace qvx::bench
