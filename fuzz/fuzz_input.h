// Reads a fuzzer's bytes as a sequence of small decisions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qvx::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
  // A number in [low, high].
  int Between(int low, int high) {
    const unsigned span = static_cast<unsigned>(high - low) + 1;
    const unsigned raw = (static_cast<unsigned>(Byte()) << 8) | Byte();
    return low + static_cast<int>(raw % span);
  }
  // Up to max_length bytes, ended early by a zero byte.
  std::string Text(size_t max_length) {
    std::string text;
    while (text.size() < max_length && !Empty()) {
      const char c = static_cast<char>(Byte());
      if (c == '\0') break;
      text += c;
    }
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace qvx::fuzz
