#include "cli/settings_diff.h"

#include "settings/setting_text.h"

namespace qvx::cli {
namespace {

nlohmann::ordered_json ValueJson(const Settings& settings, const SettingInfo& setting) {
  nlohmann::ordered_json value;
  if (setting.kind == SettingKind::Text) {
    value["value"] = settings.Text(setting.name);
  } else {
    const int number = ReadValue(settings, setting);
    if (setting.kind == SettingKind::List && number == kNoSelection)
      value["value"] = nullptr;
    else
      value["value"] = number;
  }
  value["text"] = OptionText(settings, setting);
  return value;
}

}  // namespace

void PrintDifferences(std::ostream& out, const std::vector<const SettingInfo*>& differing,
                      const Settings& a, const Settings& b) {
  for (const SettingInfo* setting : differing) out << DifferenceLine(*setting, a, b) << "\n";
}

nlohmann::ordered_json DifferencesToJson(const std::vector<const SettingInfo*>& differing,
                                         const Settings& a, const Settings& b) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const SettingInfo* setting : differing) {
    nlohmann::ordered_json entry;
    entry["setting"] = setting->name;
    entry["place"] = SettingPlace(*setting);
    entry["caption"] = SettingCaption(*setting);
    entry["a"] = ValueJson(a, *setting);
    entry["b"] = ValueJson(b, *setting);
    list.push_back(std::move(entry));
  }
  return list;
}

}  // namespace qvx::cli
