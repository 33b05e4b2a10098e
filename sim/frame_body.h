// Reading the write frame the configurator sends: "A3A4", 90 settings digits,
// the tagged texts, "##". The device checks the layout strictly so that a
// faulty frame is refused whole instead of half stored.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "device/protocol.h"
#include "settings/settings_digits.h"

namespace qvx::sim {

using device::kFrameEnd;
using device::kWriteCommand;
inline constexpr std::string_view kReadCommand = device::kReadRequest;

struct FrameContent {
  SettingsDigits digits{};
  // Edit16..Edit30: nine subscribers, password, four address parts, port.
  std::array<std::string, 15> texts;
};

struct FrameReading {
  FrameContent content;
  std::string error;  // empty when the body is well formed
};

// Reads what stands between "A3A4" and the closing "##" (both excluded).
// Subscribers: an optional "+" then digits, 1 to 13 characters; password 4
// digits; address 12 digits (four parts of 3); port 1 to 5 digits. On a
// layout fault the error says what and where; content is then unusable.
FrameReading ReadFrameBody(std::string_view body);

}  // namespace qvx::sim
