// quorvex-cli show: every setting in catalogue order, for people or as JSON.
#include <iomanip>
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "settings/setting_text.h"
#include "cli/settings_file.h"
#include "cli/settings_json.h"
#include "settings/memory_settings.h"

namespace qvx::cli {
namespace {

// "Set05.3" for grouped settings, the tab's field number for text fields.
std::string Place(const SettingInfo& setting) {
  if (setting.group == 0) return "Text." + std::to_string(setting.item);
  return GroupName(setting.group) + "." + std::to_string(setting.item);
}

std::string Caption(const SettingInfo& setting) {
  std::string caption(setting.caption);
  for (char& c : caption)
    if (c == '\n') c = ' ';
  if (setting.group >= 1 && setting.group <= 4)
    for (const ZoneColumn& column : ZoneColumns())
      if (column.group == setting.group) caption += " / " + std::string(column.heading);
  return caption;
}

std::string ValueText(const Settings& settings, const SettingInfo& setting) {
  switch (setting.kind) {
    case SettingKind::Text:
      return "\"" + EscapeControlBytes(settings.Text(setting.name)) + "\"";
    case SettingKind::Slider:
      return std::to_string(settings.SliderPosition(setting.name));
    case SettingKind::List: {
      const int index = settings.ListIndex(setting.name);
      if (index == kNoSelection) return "(не выбрано)";
      return std::to_string(index) + " \"" + std::string(setting.options[index]) + "\"";
    }
    case SettingKind::Radio: {
      const int number = settings.RadioNumber(setting.name);
      return std::to_string(number) + " \"" + std::string(setting.buttons[number].caption) + "\"";
    }
  }
  return {};
}

void PrintHuman(const Settings& settings) {
  for (const SettingInfo& setting : Catalogue()) {
    std::cout << std::left << std::setw(9) << Place(setting) << std::setw(15) << setting.name
              << Caption(setting) << " = " << ValueText(settings, setting) << "\n";
  }
}

}  // namespace

int RunShow(const Args& args) {
  bool json = false;
  std::string file;
  for (const std::string& arg : args) {
    if (arg == "--json" && !json) {
      json = true;
    } else if (file.empty() && !arg.empty() && !arg.starts_with("-")) {
      file = arg;
    } else {
      return UsageError("show", "лишний аргумент \"" + arg + "\"");
    }
  }
  MemorySettings settings;
  if (!file.empty()) {
    const std::string error = LoadSettingsFile(file, settings);
    if (!error.empty()) {
      std::cerr << "quorvex-cli show: " << error << "\n";
      return 1;
    }
  }
  if (json)
    std::cout << SettingsToJson(settings).dump(2) << "\n";
  else
    PrintHuman(settings);
  return 0;
}

}  // namespace qvx::cli
