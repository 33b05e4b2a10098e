// quorvex-cli read --port P -o FILE [(--archive FILE | --server URL) --object NUMBER]:
// "Прочитать" on port P, then the device's settings saved to FILE and
// journaled under the object.
#include <iostream>

#include "archive/records.h"
#include "cli/archive_journal.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_args.h"
#include "cli/interrupt.h"
#include "cli/server_login.h"
#include "cli/settings_file.h"
#include "config_file/settings_line.h"
#include "device/batch_summary.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunRead(const Args& args) {
  static constexpr OptionSpec kOptions[] = {{"--port", true}, {"-o", true},  kArchiveOption,
                                            kObjectOption,    kServerOption, kUserOption,
                                            kCaFileOption};
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, kOptions, 0, parsed); !problem.empty())
    return UsageError("read", problem);
  if (!parsed.Has("--port")) return UsageError("read", "не указан порт (--port P)");
  if (!parsed.Has("-o")) return UsageError("read", "не указан файл настроек (-o FILE)");
  if (const std::string problem = ArchiveOptionsProblem(parsed); !problem.empty())
    return UsageError("read", problem);
  const std::string port = parsed.Value("--port");
  const std::string output = parsed.Value("-o");
  // What would refuse the save refuses the read: the device's data must not be lost.
  if (const std::string refusal = CheckSaveTarget(output); !refusal.empty())
    return Failure("read", refusal);
  // So must an archive that cannot take the entry.
  std::unique_ptr<ObjectJournal> journal;
  if (parsed.Has("--object")) {
    std::string failure;
    bool usage = false;
    journal = ObjectJournal::Open(parsed, failure, usage);
    if (!journal) return usage ? UsageError("read", failure) : Failure("read", failure);
  }
  MemorySettings settings;
  bool journal_failed = false;
  return WithConsoleSession(
      settings, Prefix("read") + port + ": ", [&](device::ConsoleSession& session) {
        session.HoldSuccessMessages(true);  // one outcome: success only once saved
        const device::CommandResult read = session.Read(port);
        if (journal) {
          const bool taken = read.outcome == device::Outcome::ReadSuccess;
          std::string failure =
              journal->Add(port, std::string(archive::kReadCommand), read.outcome, read.cause,
                           ResultText(read), taken ? BuildSettingsLine(settings).line : "");
          if (failure.empty()) failure = journal->Finish();
          if (!failure.empty()) Failure("read", failure);
          if (!failure.empty() && taken) journal_failed = true;
        }
        if (read.outcome != device::Outcome::ReadSuccess) {
          if (read.cause != device::Cause::Stopped) return 1;
          Failure("read", port + ": прервано: ответ не дождались, файл не записан");
          return kInterruptedStatus;
        }
        if (const std::string refusal = SaveSettingsFile(settings, output); !refusal.empty())
          return Failure("read", refusal);
        session.ReleaseSuccessMessages();
        std::cout << "Настройки сохранены: " << output << "\n";
        return journal_failed ? 1 : 0;
      });
}

}  // namespace qvx::cli
