#include "settings/settings_digits.h"

#include <cstdlib>

namespace qvx {
namespace {

constexpr int kThresholdGroup = 6;

// Digit d (0-based) of group g (1-based) in the flat array.
constexpr int At(int group, int digit) {
  return (group - 1) * kDigitsPerGroup + digit;
}

bool CountsFromOne(const SettingInfo& setting, ListNumbering numbering) {
  return numbering == ListNumbering::Device && setting.device_counts_from_one;
}

// Settings of a group in item order, as they stand in the catalogue.
template <typename Visit>
void ForEachGroupSetting(Visit visit) {
  for (const SettingInfo& setting : Catalogue())
    if (setting.group >= 1 && setting.group != kThresholdGroup) visit(setting);
}

}  // namespace

int ThresholdFromDigits(int sign, int tens, int units) {
  const int magnitude = 10 * tens + units;
  return sign == 1 ? magnitude : -magnitude;
}

std::string DigitGroupText(const SettingsDigits& digits, int group) {
  std::string text;
  for (int digit = 0; digit < kDigitsPerGroup; ++digit)
    text += static_cast<char>('0' + digits[At(group, digit)]);
  return text;
}

DigitsReading ReadSettingsDigits(const Settings& settings, ListNumbering numbering) {
  DigitsReading reading;
  ForEachGroupSetting([&](const SettingInfo& setting) {
    int value = ReadValue(settings, setting);
    if (setting.kind == SettingKind::List) {
      if (value == kNoSelection) {
        if (!reading.unselected) reading.unselected = &setting;
        return;
      }
      if (CountsFromOne(setting, numbering)) ++value;
    }
    reading.digits[At(setting.group, setting.item - 1)] = value;
  });

  const int high = settings.SliderPosition(kHighThresholdSlider);
  const int low = settings.SliderPosition(kLowThresholdSlider);
  int* threshold = &reading.digits[At(kThresholdGroup, 0)];
  threshold[0] = high >= 0 ? 1 : 0;
  threshold[1] = low >= 0 ? 1 : 0;
  threshold[2] = std::abs(high) / 10;
  threshold[3] = std::abs(high) % 10;
  threshold[4] = std::abs(low) / 10;
  threshold[5] = std::abs(low) % 10;
  // Group 14 digits 5 and 6 and group 15 stay the "0" fillers.
  return reading;
}

void ApplySettingsDigits(Settings& settings, const SettingsDigits& digits,
                         ListNumbering numbering) {
  for (const SettingInfo& setting : Catalogue()) {
    if (setting.group == kThresholdGroup) {
      if (setting.item != 1) continue;  // both thresholds are set together, high first
      const int* d = &digits[At(kThresholdGroup, 0)];
      settings.SetSliderPosition(kHighThresholdSlider, ThresholdFromDigits(d[0], d[2], d[3]));
      settings.SetSliderPosition(kLowThresholdSlider, ThresholdFromDigits(d[1], d[4], d[5]));
      continue;
    }
    if (setting.group < 1) continue;
    int value = digits[At(setting.group, setting.item - 1)];
    if (setting.kind == SettingKind::List && CountsFromOne(setting, numbering)) --value;
    WriteValue(settings, setting, value);
  }
}

}  // namespace qvx
