// quorvex-cli convert IN OUT: a settings file from one form to the other,
// as "Открыть" and then "Сохранить" (or the JSON of "show --json") would.
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/settings_file.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunConvert(const Args& args) {
  if (args.size() != 2 || args[0].starts_with("-") || args[1].starts_with("-")) {
    return UsageError("convert", "нужны два имени файла: IN и OUT");
  }
  MemorySettings settings;  // the file is loaded onto the defaults
  std::string error = LoadSettingsFile(args[0], settings);
  if (error.empty()) error = SaveSettingsFile(settings, args[1]);
  if (error.empty()) return 0;
  return Failure("convert", error);
}

}  // namespace qvx::cli
