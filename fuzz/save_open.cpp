// Save then open of arbitrary settings: whatever the save accepts comes back
// identical; what it refuses it refuses with a reason.
#include <cstdint>
#include <cstdlib>

#include "config_file/settings_line.h"
#include "fuzz/counting_settings.h"
#include "fuzz/random_settings.h"
#include "settings/memory_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Kept from input to input: what an input does not set stays as the last
  // one left it, and every open sets every setting.
  static qvx::MemorySettings saved;
  static qvx::MemorySettings opened;
  qvx::fuzz::FuzzInput input(data, size);
  qvx::fuzz::FillSettings(input, saved);
  const qvx::BuiltSettingsLine built = qvx::BuildSettingsLine(saved);
  if (built.line.empty()) {
    if (built.refusal.empty()) std::abort();  // refused without saying why
    return 0;
  }
  // A high threshold is set first and kept at or above the low one shown
  // before: open onto the lowest low threshold, so that only the file counts.
  opened.SetSliderPosition(qvx::kLowThresholdSlider,
                           opened.SliderMinimum(qvx::kLowThresholdSlider));
  if (!qvx::ApplySettingsLine(opened, built.line)) std::abort();
  if (!qvx::fuzz::SameSettings(opened, saved)) std::abort();
  return 0;
}
