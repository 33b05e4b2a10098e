// Arbitrary texts in the subscriber, password, address and port fields: the
// checks either refuse with a message, or the frame built from the checked
// texts is 176..288 ASCII characters from "A3A4" to "##".
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/text_fields.h"
#include "device/write_frame.h"
#include "fuzz/fuzz_input.h"
#include "settings/memory_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qvx::fuzz::FuzzInput input(data, size);
  qvx::device::TextFields texts;
  for (std::string& text : texts) text = input.Text(24);

  const qvx::device::TextCheck check = qvx::device::CheckTextFields(texts);
  if (!check.passed) {
    if (check.message.empty()) std::abort();  // refused without saying why
    return 0;
  }
  qvx::MemorySettings settings;
  qvx::device::WriteTextFields(settings, check.texts);
  const qvx::device::WriteFrame built = qvx::device::BuildWriteFrame(settings);
  const std::string& frame = built.frame;
  if (frame.size() < 176 || frame.size() > 288) std::abort();
  if (frame.rfind("A3A4", 0) != 0 || frame.substr(frame.size() - 2) != "##") std::abort();
  for (const char c : frame)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) std::abort();
  return 0;
}
