// Line-settings definition text in the operating system's mode syntax, such
// as "baud=57600 parity=N data=8 stop=1".
#pragma once

#include <optional>
#include <string_view>

#include "device/protocol.h"

namespace qvx::device {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
  int baud = 57600;
  Parity parity = Parity::None;
  int data_bits = 8;
  StopBits stop_bits = StopBits::One;
};

// Parses blank-separated key=value pairs (baud, parity n/e/o/m/s, data 5..8,
// stop 1/1.5/2; keys and letters in any case) on top of `base`. Returns
// nothing for an unknown key, a malformed pair or a value out of range.
std::optional<LineSettings> ParseLineDefinition(std::string_view text, LineSettings base = {});

}  // namespace qvx::device
