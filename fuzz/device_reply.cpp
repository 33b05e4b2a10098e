// Arbitrary bytes received during the reception window: only a successful
// evaluation changes settings, and then every setting holds an allowed value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/device_link.h"
#include "device/reply.h"
#include "fuzz/allowed_values.h"
#include "fuzz/counting_settings.h"
#include "settings/memory_settings.h"
#include "tests/support/settings_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Kept from input to input: a reply sets every setting it takes, and
  // building a fresh model each time would cost more than the parse.
  static qvx::MemorySettings settings;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const qvx::device::ReplyEvaluation reply =
      qvx::device::EvaluateReceiveBuffer(qvx::device::ReceivedText(bytes));
  qvx::fuzz::CountingSettings counted(settings);
  qvx::device::ApplyReply(counted, reply);
  if (reply.outcome != qvx::device::ReplyOutcome::Success) {
    if (counted.Changes() != 0) std::abort();
    return 0;
  }
  qvx::fuzz::RequireAllowedValues(settings);
  return 0;
}
