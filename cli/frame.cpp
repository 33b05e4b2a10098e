// quorvex-cli frame FILE: the exact frame "Записать" would send for FILE's
// settings, or the message that refuses it.
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_args.h"
#include "cli/settings_file.h"
#include "device/console_session.h"
#include "device/write_checks.h"
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
  const device::WriteChecks checks = device::CheckWrite(settings);
  if (checks.frame.empty()) {
    // The refusal as a write on the console gives it: the message, the red fields.
    PrefixedLines prefixed(std::cerr, Prefix("frame"));
    std::ostream err(&prefixed);
    for (const device::Step& step : checks.steps) {
      if (step.kind == device::Step::Kind::Message) err << step.text << "\n";
      if (step.kind == device::Step::Kind::MarkField && step.mark == device::FieldMark::Red)
        err << device::RefusedFieldLine(step.field) << "\n";
    }
    err << std::flush;
    return 1;
  }
  std::cout << checks.frame << "\n";
  return 0;
}

}  // namespace qvx::cli
