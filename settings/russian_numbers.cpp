#include "settings/russian_numbers.h"

#include <cstdio>

namespace qvx {

std::string CountOf(int count, std::string_view one, std::string_view few, std::string_view many) {
  const int last_two = count % 100;
  const int last = count % 10;
  std::string_view noun = many;
  if (last == 1 && last_two != 11)
    noun = one;
  else if (last >= 2 && last <= 4 && (last_two < 12 || last_two > 14))
    noun = few;
  return std::to_string(count) + " " + std::string(noun);
}

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", seconds);
  std::string shown = text;
  for (char& c : shown)
    if (c == '.') c = ',';
  return shown + " с";
}

}  // namespace qvx
