// quorvex-cli write FILE --port P ... [--verify [--settle MS]] [--backup DIR
// [--force]] [(--archive FILE | --server URL) --object NUMBER]: "Записать" with FILE's settings on
// one port, or on many at once, each device read and kept first, and read back and compared after,
// when asked.
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>

#include "archive/records.h"
#include "cli/archive_journal.h"
#include "cli/batch_ports.h"
#include "cli/batch_write.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_session.h"
#include "cli/port_list.h"
#include "cli/server_login.h"
#include "cli/settings_file.h"
#include "config_file/settings_line.h"

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
  static constexpr OptionSpec kOptions[] = {
      {"--port", true, true}, {"--ports-from", true}, {"--all-usb"}, {"--verify"},
      {"--settle", true},     {"--backup", true},     {"--force"},   kArchiveOption,
      kObjectOption,          kServerOption,          kUserOption,   kCaFileOption};
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

  if (const std::string problem = ArchiveOptionsProblem(parsed); !problem.empty())
    return UsageError("write", problem);
  if (parsed.Has("--force") && !parsed.Has("--backup"))
    return UsageError("write", "--force действует только вместе с --backup");
  job.backup_dir = parsed.Value("--backup");
  job.force = parsed.Has("--force");

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
  // A folder that cannot take the copies fails every port alike: said once, nothing sent.
  if (!job.backup_dir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(job.backup_dir, error);
    if (!std::filesystem::is_directory(job.backup_dir))
      return Failure("write", job.backup_dir + ": папка для копий недоступна" +
                                  (error ? " (" + error.message() + ")" : std::string()));
  }
  // An archive that cannot take the entries is refused before anything is sent.
  std::unique_ptr<ObjectJournal> journal;
  if (parsed.Has("--object")) {
    std::string failure;
    bool usage = false;
    journal = ObjectJournal::Open(parsed, failure, usage);
    if (!journal) return usage ? UsageError("write", failure) : Failure("write", failure);
  }
  std::vector<std::string> journal_failures;
  const ResultHook on_result = [&](const DeviceResult& result) {
    if (!journal) return;
    const bool sent = result.outcome == DeviceOutcome::Sent ||
                      result.outcome == DeviceOutcome::Verified ||
                      result.outcome == DeviceOutcome::Differs;
    const std::string failure = journal->Add(
        result.port,
        std::string(job.verify ? archive::kWriteVerifyCommand : archive::kWriteCommand),
        result.command_outcome, result.cause_kind,
        OutcomeText(result.outcome, result.differing.size(), result.cause),
        BuildSettingsLine(sent ? result.sent : settings).line);
    if (!failure.empty()) journal_failures.push_back(failure);
  };
  const int status = ports.size() == 1 ? WriteOnePort(settings, ports[0], job, on_result)
                                       : WriteManyPorts(settings, ports, job, on_result);
  if (journal)
    if (const std::string failure = journal->Finish(); !failure.empty())
      journal_failures.push_back(failure);
  for (const std::string& failure : journal_failures) Failure("write", failure);
  return journal_failures.empty() ? status : std::max(status, 1);
}

}  // namespace qvx::cli
