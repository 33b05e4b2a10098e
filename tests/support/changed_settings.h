// Test helper: settings apart from the defaults in every kind of setting, for
// round trips through a codec, a device or the window.
#pragma once

#include "settings/catalogue.h"
#include "settings/memory_settings.h"

namespace qvx {

// A zone list and a list the device counts from one, both thresholds (the
// low one below zero), two radio groups, a subscriber and the port.
inline MemorySettings ChangedSettings() {
  MemorySettings settings;
  settings.SetListIndex("ComboBox11", 6);
  settings.SetListIndex("ComboBox10106", 8);
  settings.SetSliderPosition(kHighThresholdSlider, 42);
  settings.SetSliderPosition(kLowThresholdSlider, -7);
  settings.SetRadioNumber("Set13.1", 2);
  settings.SetRadioNumber("Set14.1", 0);
  settings.SetText("Edit19", "+491511234567");
  settings.SetText("Edit30", "8080");
  return settings;
}

}  // namespace qvx
