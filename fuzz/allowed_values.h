// The property every settings state must keep, whatever was loaded: each
// list holds one of its options or none, each slider a position in its
// range with the high threshold at or above the low one, each radio group
// one of its buttons.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "settings/settings.h"

namespace qvx::fuzz {

inline void RequireAllowedValues(const Settings& settings) {
  for (const SettingInfo& setting : Catalogue()) {
    if (setting.kind == SettingKind::Text) continue;
    const int value = ReadValue(settings, setting);
    bool allowed = false;
    switch (setting.kind) {
      case SettingKind::List:
        allowed = value == kNoSelection ||
                  (value >= 0 && value < static_cast<int>(setting.options.size()));
        break;
      case SettingKind::Slider:
        allowed = value >= setting.minimum && value <= setting.maximum;
        break;
      case SettingKind::Radio:
        allowed = value >= 0 && value < static_cast<int>(setting.buttons.size());
        break;
      case SettingKind::Text:
        break;
    }
    if (!allowed) {
      std::fprintf(stderr, "%.*s holds %d\n", static_cast<int>(setting.name.size()),
                   setting.name.data(), value);
      std::abort();
    }
  }
  if (settings.SliderPosition(kHighThresholdSlider) <
      settings.SliderPosition(kLowThresholdSlider)) {
    std::fprintf(stderr, "the high threshold below the low one\n");
    std::abort();
  }
}

}  // namespace qvx::fuzz
