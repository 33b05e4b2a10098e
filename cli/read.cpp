// quorvex-cli read --port P -o FILE: "Прочитать" on port P, then the device's
// settings saved to FILE.
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_args.h"
#include "cli/settings_file.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunRead(const Args& args) {
  const auto parsed = ParseDeviceArgs(args);
  if (!parsed || !parsed->file.empty() || parsed->port.empty() || parsed->output.empty()) {
    return UsageError("read", "нужны --port P и -o FILE");
  }
  // What would refuse the save refuses the read: the device's data must not be lost.
  if (const std::string refusal = CheckSaveTarget(parsed->output); !refusal.empty())
    return Failure("read", refusal);
  MemorySettings settings;
  return WithConsoleSession(
      settings, Prefix("read") + parsed->port + ": ", [&](device::ConsoleSession& session) {
        session.HoldSuccessMessages(true);  // one outcome: success only once saved
        if (session.Read(parsed->port) != device::ReplyOutcome::Success) return 1;
        if (const std::string refusal = SaveSettingsFile(settings, parsed->output);
            !refusal.empty())
          return Failure("read", refusal);
        session.ReleaseSuccessMessages();
        std::cout << "Настройки сохранены: " << parsed->output << "\n";
        return 0;
      });
}

}  // namespace qvx::cli
