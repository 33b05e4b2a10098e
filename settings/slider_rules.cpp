#include "settings/slider_rules.h"

#include <algorithm>

#include "settings/catalogue.h"

namespace qvx {
namespace {

constexpr std::string_view kHigh = kHighThresholdSlider;
constexpr std::string_view kLow = kLowThresholdSlider;

std::string_view ValueLabel(std::string_view slider) {
  return FindSetting(slider)->value_label;
}

// The label under the high threshold's left end: its moving minimum.
std::string_view HighMinimumLabel() {
  return FindSetting(kHigh)->min_label;
}

bool IsThreshold(std::string_view slider) {
  return slider == kHigh || slider == kLow;
}

}  // namespace

void WriteSliderPosition(SliderControls& controls, std::string_view slider, int position) {
  position = std::clamp(position, controls.Minimum(slider), controls.Maximum(slider));
  if (position == controls.Position(slider)) return;
  controls.StorePosition(slider, position);
  SliderChanged(controls, slider);
}

void SliderChanged(SliderControls& controls, std::string_view slider) {
  if (IsThreshold(slider)) return TrackBar2Change(controls);
  if (const SettingInfo* setting = FindSetting(slider); setting && !setting->value_label.empty())
    controls.SetLabel(setting->value_label, std::to_string(controls.Position(slider)));
}

void TrackBar2Change(SliderControls& controls) {
  const int low = controls.Position(kLow);
  const int high_before = controls.Position(kHigh);
  if (low <= controls.Maximum(kHigh)) controls.StoreMinimum(kHigh, low);
  // Raising the high threshold to the new minimum is a change of its own.
  if (high_before < controls.Minimum(kHigh)) {
    controls.StorePosition(kHigh, controls.Minimum(kHigh));
    TrackBar2Change(controls);
  }
  controls.SetLabel(ValueLabel(kHigh), std::to_string(controls.Position(kHigh)));
  controls.SetLabel(ValueLabel(kLow), std::to_string(controls.Position(kLow)));
  controls.SetLabel(HighMinimumLabel(), std::to_string(controls.Position(kLow)));
}

void ShowSliderLabels(SliderControls& controls) {
  for (const SettingInfo& setting : Catalogue())
    if (setting.kind == SettingKind::Slider)
      controls.SetLabel(setting.value_label, std::to_string(controls.Position(setting.name)));
  controls.SetLabel(HighMinimumLabel(), std::to_string(controls.Minimum(kHigh)));
}

}  // namespace qvx
