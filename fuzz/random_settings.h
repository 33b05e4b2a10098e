// Arbitrary settings drawn from fuzzer bytes: any option (or none), any
// slider position, any radio number, any text.
#pragma once

#include "fuzz/fuzz_input.h"
#include "settings/settings.h"

namespace qvx::fuzz {

inline void FillSettings(FuzzInput& input, Settings& settings) {
  for (const SettingInfo& setting : Catalogue()) {
    if (input.Empty()) return;
    if (setting.kind == SettingKind::Text) {
      settings.SetText(setting.name, input.Text(20));
    } else {
      const int low = setting.kind == SettingKind::Slider ? setting.minimum - 5 : -1;
      const int high = setting.kind == SettingKind::Slider ? setting.maximum + 5 : 10;
      WriteValue(settings, setting, input.Between(low, high));
    }
  }
}

}  // namespace qvx::fuzz
