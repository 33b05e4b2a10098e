#include "cli/settings_json.h"

namespace qvx::cli {

nlohmann::ordered_json SettingsToJson(const Settings& settings) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const SettingInfo& setting : Catalogue()) {
    const std::string key(setting.name);
    if (setting.kind == SettingKind::Text) {
      object[key] = settings.Text(setting.name);
    } else {
      const int value = ReadValue(settings, setting);
      if (setting.kind == SettingKind::List && value == kNoSelection)
        object[key] = nullptr;
      else
        object[key] = value;
    }
  }
  return object;
}

std::string ApplySettingsJson(const nlohmann::json& object, Settings& settings) {
  if (!object.is_object()) return "настройки должны быть одним объектом JSON";
  for (const auto& [key, value] : object.items()) {
    const SettingInfo* setting = FindSetting(key);
    if (!setting) return "неизвестный параметр \"" + key + "\"";
    const bool fits = setting->kind == SettingKind::Text ? value.is_string()
                      : setting->kind == SettingKind::List
                          ? value.is_number_integer() || value.is_null()
                          : value.is_number_integer();
    if (!fits) return "значение неверного типа у параметра \"" + key + "\"";
    if (value.is_number_integer()) {
      const auto number = value.get<long long>();
      if (number < -1000 || number > 1000)
        return "значение вне допустимого диапазона у параметра \"" + key + "\"";
    }
  }
  // Checked as a whole first, so a refused object changes nothing.
  for (const SettingInfo& setting : Catalogue()) {
    const auto found = object.find(std::string(setting.name));
    if (found == object.end()) continue;
    if (setting.kind == SettingKind::Text)
      settings.SetText(setting.name, found->get<std::string>());
    else
      WriteValue(settings, setting, found->is_null() ? kNoSelection : found->get<int>());
  }
  return {};
}

}  // namespace qvx::cli
