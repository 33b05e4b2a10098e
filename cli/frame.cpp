// quorvex-cli frame FILE: the exact frame "Записать" would send for FILE's
// settings, or the message that refuses it.
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_args.h"
#include "cli/settings_file.h"
#include "device/device_commands.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunFrame(const Args& args) {
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, {}, 1, parsed); !problem.empty())
    return UsageError("frame", problem);
  if (parsed.positional.empty()) return UsageError("frame", "не указан файл настроек");
  MemorySettings settings;
  if (const std::string refusal = LoadSettingsFile(parsed.positional[0], settings);
      !refusal.empty())
    return Failure("frame", refusal);
  std::string frame;
  WithConsoleSession(settings, Prefix("frame"), [&](device::ConsoleSession& session) {
    frame = device::CheckedWriteFrame(settings, session, session);
    return 0;
  });
  if (frame.empty()) return 1;
  std::cout << frame << "\n";
  return 0;
}

}  // namespace qvx::cli
