// Save then open of arbitrary settings: whatever the save accepts comes back
// identical; what it refuses it refuses with a reason.
#include <cstdint>
#include <cstdlib>

#include "config_file/settings_line.h"
#include "fuzz/random_settings.h"
#include "settings/memory_settings.h"
#include "tests/support/settings_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qvx::fuzz::FuzzInput input(data, size);
  qvx::MemorySettings saved;
  qvx::fuzz::FillSettings(input, saved);
  const qvx::BuiltSettingsLine built = qvx::BuildSettingsLine(saved);
  if (built.line.empty()) {
    if (built.refusal.empty()) std::abort();  // refused without saying why
    return 0;
  }
  qvx::MemorySettings opened;
  if (!qvx::ApplySettingsLine(opened, built.line)) std::abort();
  if (qvx::Snapshot(opened) != qvx::Snapshot(saved)) std::abort();
  return 0;
}
