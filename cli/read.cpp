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
  MemorySettings settings;
  const int read = WithConsoleSession(
      settings, Prefix("read") + parsed->port + ": ", [&](device::ConsoleSession& session) {
        return session.Read(parsed->port) == device::ReplyOutcome::Success ? 0 : 1;
      });
  if (read != 0) return 1;
  if (const std::string refusal = SaveSettingsFile(settings, parsed->output); !refusal.empty())
    return Failure("read", refusal);
  return 0;
}

}  // namespace qvx::cli
