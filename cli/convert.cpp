// quorvex-cli convert IN OUT [--force]: a settings file from one form to the
// other, as "Открыть" and then "Сохранить" (or the JSON of "show --json")
// would. An existing OUT is kept unless --force says to replace it.
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/settings_file.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunConvert(const Args& args) {
  static constexpr OptionSpec kOptions[] = {{"--force"}};
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, kOptions, 2, parsed); !problem.empty())
    return UsageError("convert", problem);
  if (parsed.positional.size() != 2)
    return UsageError("convert", "нужны два имени файла: IN и OUT");
  const std::string& in = parsed.positional[0];
  const std::string& out = parsed.positional[1];
  const ExistingFile existing = parsed.Has("--force") ? ExistingFile::Replace : ExistingFile::Keep;
  MemorySettings settings;  // the file is loaded onto the defaults
  std::string error = LoadSettingsFile(in, settings);
  if (error.empty()) error = SaveSettingsFile(settings, out, existing);
  if (error.empty()) return 0;
  return Failure("convert", error);
}

}  // namespace qvx::cli
