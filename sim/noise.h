// Line noise a device may send around its reply: letters, blanks, tabs and
// line ends. Never digits, ":", "+" or "#", so a noisy reply still parses.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace qvx::sim {

class NoiseSource {
 public:
  explicit NoiseSource(std::uint32_t seed) : random_(seed) {}

  // Count noise characters.
  std::string Text(std::size_t count);

  // The reply with noise before it, after it and between its characters; the
  // closing ":#" stays together so the end mark is still found.
  std::string AddTo(std::string_view reply);

 private:
  char Next();
  std::size_t Below(std::size_t bound);

  std::mt19937 random_;
};

}  // namespace qvx::sim
