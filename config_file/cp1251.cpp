#include "config_file/cp1251.h"

#include <array>

namespace qvx {
namespace {

// Code points of bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr std::array<char32_t, 64> kHighTable = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
};

constexpr char32_t kCyrillicA = 0x0410;   // byte 0xC0
constexpr char32_t kCyrillicYa = 0x044F;  // byte 0xFF

char32_t CodePointOf(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return kCyrillicA + (byte - 0xC0);
  return kHighTable[byte - 0x80];
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::optional<char> ByteOf(char32_t code) {
  if (code < 0x80) return static_cast<char>(code);
  if (code >= kCyrillicA && code <= kCyrillicYa)
    return static_cast<char>(0xC0 + (code - kCyrillicA));
  for (std::size_t i = 0; i < kHighTable.size(); ++i) {
    if (kHighTable[i] == code) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

// Decodes one UTF-8 sequence at text[pos], advancing pos; nullopt when malformed
// (bad lead or continuation byte, overlong form, surrogate, beyond U+10FFFF).
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t code = 0;
  char32_t smallest = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, code = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, code = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, code = lead & 0x07, smallest = 0x10000;
  } else {
    return std::nullopt;
  }
  for (int i = 0; i < extra; ++i) {
    if (pos >= text.size()) return std::nullopt;
    const auto next = static_cast<unsigned char>(text[pos++]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  return code;
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char byte : bytes) AppendUtf8(out, CodePointOf(static_cast<unsigned char>(byte)));
  return out;
}

std::optional<std::string> Utf8ToCp1251(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::optional<char32_t> code = NextCodePoint(text, pos);
    if (!code) return std::nullopt;
    const std::optional<char> byte = ByteOf(*code);
    if (!byte) return std::nullopt;
    out += *byte;
  }
  return out;
}

}  // namespace qvx
