// Conversion between the program's own strings (UTF-8) and code page 1251,
// the 8-bit Cyrillic text of configuration files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qvx {

// Every byte is one character: ASCII stays as it is, 0x80..0xFF become their
// Cyrillic and punctuation characters. Byte 0x98, unassigned in the code
// page, becomes U+0098 so that any file text survives a round trip. Never fails.
std::string Cp1251ToUtf8(std::string_view bytes);

// The same text in code page 1251, or nullopt when the text is not valid
// UTF-8 or holds a character the code page cannot hold.
std::optional<std::string> Utf8ToCp1251(std::string_view text);

}  // namespace qvx
