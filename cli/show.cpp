// quorvex-cli show: every setting in catalogue order, for people or as JSON.
#include <iomanip>
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/settings_file.h"
#include "cli/settings_json.h"
#include "settings/memory_settings.h"
#include "settings/setting_text.h"

namespace qvx::cli {
namespace {

// "Set05.3" for grouped settings, the tab's field number for text fields.
std::string Place(const SettingInfo& setting) {
  if (setting.group == 0) return "Text." + std::to_string(setting.item);
  return GroupName(setting.group) + "." + std::to_string(setting.item);
}

void PrintHuman(const Settings& settings) {
  for (const SettingInfo& setting : Catalogue()) {
    std::cout << std::left << std::setw(9) << Place(setting) << std::setw(15) << setting.name
              << CaptionOnOneLine(setting) << " = " << ValueWithText(settings, setting) << "\n";
  }
}

}  // namespace

int RunShow(const Args& args) {
  static constexpr OptionSpec kOptions[] = {{"--json"}};
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, kOptions, 1, parsed); !problem.empty())
    return UsageError("show", problem);
  MemorySettings settings;
  if (!parsed.positional.empty()) {
    const std::string error = LoadSettingsFile(parsed.positional[0], settings);
    if (!error.empty()) {
      std::cerr << "quorvex-cli show: " << error << "\n";
      return 1;
    }
  }
  if (parsed.Has("--json"))
    std::cout << SettingsToJson(settings).dump(2) << "\n";
  else
    PrintHuman(settings);
  return 0;
}

}  // namespace qvx::cli
