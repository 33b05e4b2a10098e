// quorvex-cli write FILE --port P ... [--verify [--settle MS]]: "Записать"
// with FILE's settings on one port, or on many at once, each then read back
// and compared when asked.
#include <charconv>
#include <iostream>

#include "cli/batch_write.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_session.h"
#include "cli/port_list.h"
#include "cli/settings_file.h"
#include "config_file/file_io.h"

namespace qvx::cli {
namespace {

constexpr int kMaxSettleMs = 600'000;

// Ports of a --ports-from file: one a line; blanks and "#" comments skipped.
std::vector<std::string> PortsInList(const std::string& text) {
  std::vector<std::string> ports;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    const auto first = line.find_first_not_of(" \t\r");
    if (first != std::string::npos)
      ports.push_back(line.substr(first, line.find_last_not_of(" \t\r") - first + 1));
    start = end + 1;
  }
  return ports;
}

std::optional<int> SettleTime(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto parsed = std::from_chars(text.data(), end, value);
  if (parsed.ec != std::errc() || parsed.ptr != end || value < 0 || value > kMaxSettleMs)
    return std::nullopt;
  return value;
}

}  // namespace

int RunWrite(const Args& args) {
  static constexpr OptionSpec kOptions[] = {{"--port", true, true},
                                            {"--ports-from", true},
                                            {"--all-usb"},
                                            {"--verify"},
                                            {"--settle", true}};
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, kOptions, 1, parsed); !problem.empty())
    return UsageError("write", problem);
  if (parsed.positional.empty()) return UsageError("write", "не указан файл настроек");
  if (!parsed.Has("--port") && !parsed.Has("--ports-from") && !parsed.Has("--all-usb"))
    return UsageError("write", "не указан порт (--port, --ports-from или --all-usb)");
  WriteJob job;
  job.verify = parsed.Has("--verify");
  if (parsed.Has("--settle")) {
    if (!job.verify) return UsageError("write", "--settle действует только вместе с --verify");
    const auto settle = SettleTime(parsed.Value("--settle"));
    if (!settle)
      return UsageError("write", "--settle: нужно целое число миллисекунд от 0 до " +
                                     std::to_string(kMaxSettleMs));
    job.settle_ms = *settle;
  }

  const auto qt = StartQt(false);
  std::vector<std::string> ports = parsed.Values("--port");
  if (parsed.Has("--ports-from")) {
    const std::string list = parsed.Value("--ports-from");
    const FileRead read = ReadSmallFile(list);
    if (read.status == ReadStatus::NotFound) return Failure("write", list + ": Файл не найден");
    if (read.status != ReadStatus::Ok) return Failure("write", list + ": Ошибка открытия файла");
    const std::vector<std::string> listed = PortsInList(read.bytes);
    if (listed.empty()) return Failure("write", list + ": в списке нет ни одного порта");
    ports.insert(ports.end(), listed.begin(), listed.end());
  }
  if (parsed.Has("--all-usb")) {
    std::size_t found = 0;
    for (const PortDetails& port : ListPortDetails()) {
      if (!port.Usb()) continue;
      ports.push_back(port.name);
      ++found;
    }
    if (found == 0) return Failure("write", "не найдено ни одного USB-адаптера");
  }
  for (std::size_t i = 0; i < ports.size(); ++i)
    for (std::size_t j = 0; j < i; ++j)
      if (ports[i] == ports[j]) return UsageError("write", "порт " + ports[i] + " указан дважды");

  MemorySettings settings;
  if (const std::string refusal = LoadSettingsFile(parsed.positional[0], settings);
      !refusal.empty())
    return Failure("write", refusal);
  job.file = parsed.positional[0];
  if (ports.size() == 1) return WriteOnePort(settings, ports[0], job);
  return WriteManyPorts(settings, ports, job);
}

}  // namespace qvx::cli
