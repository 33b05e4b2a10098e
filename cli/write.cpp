// quorvex-cli write FILE --port P ... [--verify [--settle MS]]: "Записать"
// with FILE's settings on one port, or on many at once, each then read back
// and compared when asked.
#include <charconv>
#include <iostream>

#include "cli/batch_ports.h"
#include "cli/batch_write.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_session.h"
#include "cli/port_list.h"
#include "cli/settings_file.h"

namespace qvx::cli {
namespace {

constexpr int kMaxSettleMs = 600'000;

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
    if (const std::string problem = ReadPortList(parsed.Value("--ports-from"), ports);
        !problem.empty())
      return Failure("write", problem);
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
  // Two workers on one device would fight over it: refused before anything is sent.
  if (const std::string twice = PortNamedTwice(ports); !twice.empty())
    return UsageError("write", twice);

  MemorySettings settings;
  if (const std::string refusal = LoadSettingsFile(parsed.positional[0], settings);
      !refusal.empty())
    return Failure("write", refusal);
  job.file = parsed.positional[0];
  if (ports.size() == 1) return WriteOnePort(settings, ports[0], job);
  return WriteManyPorts(settings, ports, job);
}

}  // namespace qvx::cli
