// Speed of the configuration file: composing and applying the settings line,
// and a whole save and open through the file system.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config_file/file_commands.h"
#include "config_file/settings_line.h"
#include "settings/memory_settings.h"

namespace qvx {
namespace {

class SilentMessages : public CommandMessages {
 public:
  void Show(const std::string&, const std::string&) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
};

MemorySettings CyrillicSettings() {
  MemorySettings settings;
  settings.SetText("Edit25", "Пароль");
  settings.SetText("Edit16", "Абонент +380501234567");
  return settings;
}

void BuildLine(benchmark::State& state) {
  const MemorySettings settings = CyrillicSettings();
  for (auto _ : state) benchmark::DoNotOptimize(BuildSettingsLine(settings));
}
BENCHMARK(BuildLine);

void ApplyLine(benchmark::State& state) {
  const std::string line = BuildSettingsLine(CyrillicSettings()).line;
  MemorySettings settings;
  for (auto _ : state) benchmark::DoNotOptimize(ApplySettingsLine(settings, line));
}
BENCHMARK(ApplyLine);

// References for the two above: the least a line's writer and reader do,
// joining the line's 30 fields and splitting it at every ":".
std::vector<std::string> FieldsOf(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end; (end = line.find(':', start)) != std::string::npos; start = end + 1)
    fields.push_back(line.substr(start, end - start));
  return fields;
}

void JoinFields(benchmark::State& state) {
  const std::vector<std::string> fields = FieldsOf(BuildSettingsLine(CyrillicSettings()).line);
  for (auto _ : state) {
    std::string line;
    for (const std::string& field : fields) line.append(field).push_back(':');
    line.push_back('#');
    benchmark::DoNotOptimize(line);
  }
}
BENCHMARK(JoinFields);

void SplitLine(benchmark::State& state) {
  const std::string line = BuildSettingsLine(CyrillicSettings()).line;
  for (auto _ : state) benchmark::DoNotOptimize(FieldsOf(line));
}
BENCHMARK(SplitLine);

void SaveAndOpen(benchmark::State& state) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("qvx-bench-" + std::to_string(::getpid()) + ".qvx"))
                               .string();
  const MemorySettings saved = CyrillicSettings();
  MemorySettings opened;
  SilentMessages messages;
  for (auto _ : state) {
    SaveSettingsCommand(
        saved, [&] { return path; }, messages);
    OpenSettingsCommand(opened, path, messages);
  }
  std::filesystem::remove(path);
}
BENCHMARK(SaveAndOpen)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qvx
