// quorvex-cli read --port P -o FILE: "Прочитать" on port P, then the device's
// settings saved to FILE.
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_args.h"
#include "cli/interrupt.h"
#include "cli/settings_file.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunRead(const Args& args) {
  static constexpr OptionSpec kOptions[] = {{"--port", true}, {"-o", true}};
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, kOptions, 0, parsed); !problem.empty())
    return UsageError("read", problem);
  if (!parsed.Has("--port")) return UsageError("read", "не указан порт (--port P)");
  if (!parsed.Has("-o")) return UsageError("read", "не указан файл настроек (-o FILE)");
  const std::string port = parsed.Value("--port");
  const std::string output = parsed.Value("-o");
  // What would refuse the save refuses the read: the device's data must not be lost.
  if (const std::string refusal = CheckSaveTarget(output); !refusal.empty())
    return Failure("read", refusal);
  MemorySettings settings;
  return WithConsoleSession(
      settings, Prefix("read") + port + ": ", [&](device::ConsoleSession& session) {
        session.HoldSuccessMessages(true);  // one outcome: success only once saved
        const device::CommandResult read = session.Read(port);
        if (read.outcome != device::Outcome::ReadSuccess) {
          if (read.cause != device::Cause::Stopped) return 1;
          Failure("read", port + ": прервано: ответ не дождались, файл не записан");
          return kInterruptedStatus;
        }
        if (const std::string refusal = SaveSettingsFile(settings, output); !refusal.empty())
          return Failure("read", refusal);
        session.ReleaseSuccessMessages();
        std::cout << "Настройки сохранены: " << output << "\n";
        return 0;
      });
}

}  // namespace qvx::cli
