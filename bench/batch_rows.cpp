#include "bench/batch_rows.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "bench/spawn.h"
#include "config_file/settings_line.h"
#include "settings/memory_settings.h"

namespace qvx::bench {
namespace {

constexpr int kPorts = 8;

double Ms(Clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

bool WritesManyPorts(const std::string& cli) {
  const Finished help = RunProgram({cli, "write", "--help"});
  return help.output.find("--verify") != std::string::npos;
}

// The default settings as a settings file.
std::string DefaultSettingsFile() {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("quorvex-bench-" + std::to_string(getpid()) + ".qvx");
  std::ofstream(path, std::ios::binary) << BuildSettingsLine(MemorySettings()).line << "\r\n";
  return path.string();
}

// Median time of `runs` writes of `file` to the first `ports` of `devices`.
double WriteTime(const std::string& cli, const std::string& file,
                 const std::vector<std::string>& devices, int ports, bool verify, int runs) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    std::vector<std::string> argv = {cli, "write", file};
    for (int i = 0; i < ports; ++i) argv.insert(argv.end(), {"--port", devices[i]});
    if (verify) argv.push_back("--verify");
    const Finished written = RunProgram(argv);
    if (written.exit_code != 0) throw std::runtime_error("quorvex-cli write failed");
    times.push_back(Ms(written.ended - written.started));
  }
  return Median(times);
}

}  // namespace

std::vector<Row> BatchRows(const std::string& bin, int runs) {
  const std::string cli = bin + "/quorvex-cli";
  const std::string plain = "batch: 8 ports in parallel, write";
  const std::string verified = "batch: 8 ports in parallel, write --verify";
  if (!WritesManyPorts(cli))
    return {{plain, "n/a", "quorvex-cli writes one port only", std::nullopt, ""},
            {verified, "n/a", "quorvex-cli writes one port only", std::nullopt, ""}};

  std::vector<std::unique_ptr<Background>> simulators;
  std::vector<std::string> devices;
  for (int i = 0; i < kPorts; ++i) {
    simulators.push_back(std::make_unique<Background>(
        std::vector<std::string>{bin + "/quorvex-sim", "--delay", "0"}));
    devices.push_back(simulators.back()->FirstLine(std::chrono::seconds(5)));
    if (devices.back().empty()) throw std::runtime_error("quorvex-sim did not start");
  }
  const std::string file = DefaultSettingsFile();
  std::vector<Row> rows;
  for (bool verify : {false, true}) {
    const double one = WriteTime(cli, file, devices, 1, verify, runs);
    const double eight = WriteTime(cli, file, devices, kPorts, verify, runs);
    rows.push_back({verify ? verified : plain, Milliseconds(eight), "1 port " + Milliseconds(one),
                    eight / one, ""});
  }
  std::filesystem::remove(file);
  return rows;
}

}  // namespace qvx::bench
