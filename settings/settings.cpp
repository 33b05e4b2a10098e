#include "settings/settings.h"

#include <stdexcept>

namespace qvx {

int ReadValue(const Settings& settings, const SettingInfo& setting) {
  switch (setting.kind) {
    case SettingKind::List:
      return settings.ListIndex(setting.name);
    case SettingKind::Slider:
      return settings.SliderPosition(setting.name);
    case SettingKind::Radio:
      return settings.RadioNumber(setting.name);
    case SettingKind::Text:
      break;
  }
  throw std::invalid_argument("not a numeric setting: " + std::string(setting.name));
}

void WriteValue(Settings& settings, const SettingInfo& setting, int value) {
  switch (setting.kind) {
    case SettingKind::List:
      return settings.SetListIndex(setting.name, value);
    case SettingKind::Slider:
      return settings.SetSliderPosition(setting.name, value);
    case SettingKind::Radio:
      return settings.SetRadioNumber(setting.name, value);
    case SettingKind::Text:
      break;
  }
  throw std::invalid_argument("not a numeric setting: " + std::string(setting.name));
}

int RadioButtonFor(const SettingInfo& group, int number) {
  const int last = static_cast<int>(group.buttons.size()) - 1;
  if (number == 0 || number == 1) return std::min(number, last);
  return last;
}

}  // namespace qvx
