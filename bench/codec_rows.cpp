#include "bench/codec_rows.h"

#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "bench/spawn.h"

namespace qvx::bench {
namespace {

// Median CPU time in ns of each benchmark matched by `filter`.
std::map<std::string, double> MedianTimes(const std::string& program, const std::string& filter) {
  const Finished run =
      RunProgram({program, "--benchmark_filter=" + filter, "--benchmark_repetitions=5",
                  "--benchmark_min_time=0.1", "--benchmark_report_aggregates_only=true",
                  "--benchmark_format=json", "--benchmark_time_unit=ns"});
  if (run.exit_code != 0) throw std::runtime_error(program + " failed");
  std::map<std::string, double> times;
  const nlohmann::json report = nlohmann::json::parse(run.output);
  for (const auto& entry : report.at("benchmarks"))
    if (entry.value("aggregate_name", std::string()) == "median")
      times[entry.at("run_name").get<std::string>()] = entry.at("cpu_time").get<double>();
  return times;
}

Row RateRow(const std::string& figure, const std::string& reference,
            const std::map<std::string, double>& times, const std::string& ours,
            const std::string& least) {
  const double ns = times.at(ours), reference_ns = times.at(least);
  // Ratio of the times: how many times the least work this takes.
  return {figure, PerSecond(1e9 / ns), reference + " " + PerSecond(1e9 / reference_ns),
          ns / reference_ns, ""};
}

}  // namespace

std::vector<Row> CodecRows(const std::string& bin) {
  const auto line =
      MedianTimes(bin + "/settings_line_bench", "BuildLine|ApplyLine|JoinFields|SplitLine");
  const auto reply = MedianTimes(bin + "/device_protocol_bench", "BM_EvaluateReply|BM_SplitReply");
  return {
      RateRow("codec: settings lines built", "joining its 30 fields", line, "BuildLine",
              "JoinFields"),
      RateRow("codec: settings lines applied", "splitting it at \":\"", line, "ApplyLine",
              "SplitLine"),
      RateRow("codec: replies evaluated", "keeping digits and splitting", reply, "BM_EvaluateReply",
              "BM_SplitReply"),
  };
}

}  // namespace qvx::bench
