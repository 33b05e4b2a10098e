// Opening arbitrary first lines: either refused with every setting as it
// was, or every setting holds a value its control allows.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config_file/settings_line.h"
#include "fuzz/allowed_values.h"
#include "settings/memory_settings.h"
#include "tests/support/settings_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  qvx::MemorySettings settings;
  const auto before = qvx::Snapshot(settings);
  if (!qvx::ApplySettingsLine(settings, line)) {
    if (qvx::Snapshot(settings) != before) std::abort();  // a refusal changed something
    return 0;
  }
  qvx::fuzz::RequireAllowedValues(settings);
  return 0;
}
