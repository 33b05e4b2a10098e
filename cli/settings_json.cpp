#include "cli/settings_json.h"

#include <set>
#include <vector>

namespace qvx::cli {
namespace {

using nlohmann::json;

constexpr std::size_t kMissingNamed = 10;
constexpr std::size_t kShownValueLength = 40;

// The value as the file spells it, cut short for a message.
std::string Shown(const json& value) {
  std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
  if (text.size() > kShownValueLength) text = text.substr(0, kShownValueLength) + "…";
  return text;
}

std::string BadValue(std::string_view key, const json& value, const std::string& allowed) {
  return "недопустимое значение у параметра \"" + std::string(key) + "\": " + Shown(value) + " (" +
         allowed + ")";
}

std::string Range(int low, int high) {
  return "допустимо от " + std::to_string(low) + " до " + std::to_string(high);
}

// Why `value` cannot be the value of `setting`; "" when it can.
std::string ValueRefusal(const SettingInfo& setting, const json& value) {
  const std::string key(setting.name);
  if (setting.kind == SettingKind::Text) {
    if (value.is_string()) return {};
    return BadValue(key, value, "нужна строка");
  }
  if (setting.kind == SettingKind::List && value.is_null()) return {};
  if (!value.is_number_integer())
    return BadValue(
        key, value,
        setting.kind == SettingKind::List ? "нужно целое число или null" : "нужно целое число");
  const auto number = value.get<long long>();
  int low = 0;
  int high = 0;
  switch (setting.kind) {
    case SettingKind::List:
      high = static_cast<int>(setting.options.size()) - 1;
      break;
    case SettingKind::Radio:
      high = static_cast<int>(setting.buttons.size()) - 1;
      break;
    case SettingKind::Slider:
      low = setting.minimum;
      high = setting.maximum;
      break;
    case SettingKind::Text:
      break;
  }
  if (number < low || number > high) return BadValue(key, value, Range(low, high));
  return {};
}

std::string MissingKeys(const std::vector<std::string_view>& missing) {
  std::string text = "не хватает параметров: ";
  for (std::size_t i = 0; i < missing.size() && i < kMissingNamed; ++i)
    text += (i == 0 ? "" : ", ") + std::string(missing[i]);
  if (missing.size() > kMissingNamed)
    text += " и ещё " + std::to_string(missing.size() - kMissingNamed);
  return text;
}

}  // namespace

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

std::string ApplySettingsJson(std::string_view text, Settings& settings) {
  // The parsed object keeps only the last of repeated keys, so they are
  // caught while parsing.
  std::set<std::string> keys;
  std::string repeated;
  const json::parser_callback_t note_keys = [&](int depth, json::parse_event_t event,
                                                json& parsed) {
    if (event == json::parse_event_t::key && depth == 1 && repeated.empty() &&
        !keys.insert(parsed.get<std::string>()).second)
      repeated = parsed.get<std::string>();
    return true;
  };
  const json object = json::parse(text, note_keys, false);
  if (object.is_discarded()) return "Некорректный файл: это не JSON";
  if (!object.is_object()) return "настройки должны быть одним объектом JSON";
  if (!repeated.empty()) return "параметр \"" + repeated + "\" указан дважды";

  for (const auto& [key, value] : object.items()) {
    const SettingInfo* setting = FindSetting(key);
    if (!setting) return "неизвестный параметр \"" + key + "\"";
    if (std::string refusal = ValueRefusal(*setting, value); !refusal.empty()) return refusal;
  }
  std::vector<std::string_view> missing;
  for (const SettingInfo& setting : Catalogue())
    if (!object.contains(std::string(setting.name))) missing.push_back(setting.name);
  if (!missing.empty()) return MissingKeys(missing);
  // The window keeps the high threshold at or above the low one; a file that
  // says otherwise would be changed silently.
  const json& high = object.at(std::string(kHighThresholdSlider));
  const json& low = object.at(std::string(kLowThresholdSlider));
  if (high.get<int>() < low.get<int>())
    return BadValue(kHighThresholdSlider, high,
                    "не ниже " + std::string(kLowThresholdSlider) + ", " + Shown(low));

  // Checked as a whole first, so a refused object changes nothing.
  for (const SettingInfo& setting : Catalogue()) {
    const json& value = object.at(std::string(setting.name));
    if (setting.kind == SettingKind::Text)
      settings.SetText(setting.name, value.get<std::string>());
    else
      WriteValue(settings, setting, value.is_null() ? kNoSelection : value.get<int>());
  }
  // Set first, the high threshold met the low one held before; now that the
  // file's low one holds, it takes the file's value whatever came before.
  settings.SetSliderPosition(kHighThresholdSlider, high.get<int>());
  return {};
}

}  // namespace qvx::cli
