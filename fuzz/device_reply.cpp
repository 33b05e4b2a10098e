// Arbitrary bytes received during the reception window: only a successful
// evaluation changes settings, and then every setting holds an allowed value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/device_link.h"
#include "device/reply.h"
#include "fuzz/allowed_values.h"
#include "settings/memory_settings.h"
#include "tests/support/settings_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const qvx::device::ReplyEvaluation reply =
      qvx::device::EvaluateReceiveBuffer(qvx::device::ReceivedText(bytes));
  qvx::MemorySettings settings;
  const auto before = qvx::Snapshot(settings);
  qvx::device::ApplyReply(settings, reply);
  if (reply.outcome != qvx::device::ReplyOutcome::Success) {
    if (qvx::Snapshot(settings) != before) std::abort();
    return 0;
  }
  qvx::fuzz::RequireAllowedValues(settings);
  return 0;
}
