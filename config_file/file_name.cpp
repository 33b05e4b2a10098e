#include "config_file/file_name.h"

#include <algorithm>

namespace qvx {
namespace {

// Extension with its dot, or empty when the name has none.
std::string_view Extension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  const std::string_view extension = name.substr(dot);
  if (extension.find_first_of("\\/:") != std::string_view::npos) return {};
  return extension;
}

// Case-blind for ASCII letters only, whatever the locale: other bytes of a
// UTF-8 name must match exactly.
char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace

std::string WithQvxExtension(std::string_view name) {
  std::string final_name(name);
  if (!EqualsIgnoringAsciiCase(Extension(name), ".qvx")) final_name += ".qvx";
  return final_name;
}

bool HasJsonExtension(std::string_view name) {
  return EqualsIgnoringAsciiCase(Extension(name), ".json");
}

}  // namespace qvx
