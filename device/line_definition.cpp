#include "device/line_definition.h"

#include <cctype>
#include <charconv>
#include <string>

namespace qvx::device {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::optional<int> Number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
  return value;
}

bool Apply(LineSettings& line, const std::string& key, const std::string& value) {
  if (key == "baud") {
    const auto baud = Number(value);
    if (baud) line.baud = *baud;
    return baud.has_value();
  }
  if (key == "data") {
    const auto bits = Number(value);
    if (!bits || *bits < 5 || *bits > 8) return false;
    line.data_bits = *bits;
    return true;
  }
  if (key == "parity") {
    if (value == "n")
      line.parity = Parity::None;
    else if (value == "e")
      line.parity = Parity::Even;
    else if (value == "o")
      line.parity = Parity::Odd;
    else if (value == "m")
      line.parity = Parity::Mark;
    else if (value == "s")
      line.parity = Parity::Space;
    else
      return false;
    return true;
  }
  if (key == "stop") {
    if (value == "1")
      line.stop_bits = StopBits::One;
    else if (value == "1.5")
      line.stop_bits = StopBits::OneAndHalf;
    else if (value == "2")
      line.stop_bits = StopBits::Two;
    else
      return false;
    return true;
  }
  return false;
}

}  // namespace

std::optional<LineSettings> ParseLineDefinition(std::string_view text, LineSettings base) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == ' ') {
      ++pos;
      continue;
    }
    const std::size_t end = std::min(text.find(' ', pos), text.size());
    const std::string_view pair = text.substr(pos, end - pos);
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    if (!Apply(base, Lower(pair.substr(0, equals)), Lower(pair.substr(equals + 1))))
      return std::nullopt;
    pos = end;
  }
  return base;
}

}  // namespace qvx::device
