// The 90 settings digits: fifteen groups of six, group n holding Set0n in
// item order, group 6 the two thresholds as sign/sign/tens/units/tens/units,
// fillers in group 14 (digits 5, 6) and group 15. The file, the write frame
// and the device reply each put them in a layout of their own.
#pragma once

#include <array>
#include <string>

#include "settings/settings.h"

namespace qvx {

inline constexpr int kDigitGroups = 15;
inline constexpr int kDigitsPerGroup = 6;
using SettingsDigits = std::array<int, kDigitGroups * kDigitsPerGroup>;

// Plain: lists as option index (the file). Device: the index + 1 lists
// counted from 1 (the write frame and the device reply).
enum class ListNumbering { Plain, Device };

struct DigitsReading {
  SettingsDigits digits{};  // each 0..9
  // First list with no entry selected, in catalogue order; then digits is unusable.
  const SettingInfo* unselected = nullptr;
};

// Reads the current settings as digits.
DigitsReading ReadSettingsDigits(const Settings& settings, ListNumbering numbering);

// Group 1..15 as its six digit characters ("100050").
std::string DigitGroupText(const SettingsDigits& digits, int group);

// Puts digit values into the settings in table order (group 1..14, digit
// 1..6; TrackBar2 before TrackBar1). Values may be any number: a list index
// outside the options leaves no entry selected, slider positions are clamped,
// radio groups follow the 0 / 1 / other rule. Fillers are not used.
void ApplySettingsDigits(Settings& settings, const SettingsDigits& digits, ListNumbering numbering);

// Threshold from its sign digit (1 means positive, anything else negative),
// tens and units.
int ThresholdFromDigits(int sign, int tens, int units);

}  // namespace qvx
