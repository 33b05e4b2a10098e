#include "sim/noise.h"

namespace qvx::sim {

namespace {
constexpr std::string_view kNoise = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ \t\r\n";
constexpr std::string_view kEndMark = ":#";
}  // namespace

std::size_t NoiseSource::Below(std::size_t bound) {
  return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
}

char NoiseSource::Next() {
  return kNoise[Below(kNoise.size())];
}

std::string NoiseSource::Text(std::size_t count) {
  std::string text;
  text.reserve(count);
  for (std::size_t i = 0; i < count; ++i) text += Next();
  return text;
}

std::string NoiseSource::AddTo(std::string_view reply) {
  const std::size_t end_mark = reply.rfind(kEndMark);
  std::string noisy = Text(1 + Below(8));
  for (std::size_t i = 0; i < reply.size(); ++i) {
    noisy += reply[i];
    const bool inside_end_mark = end_mark != std::string_view::npos && i == end_mark;
    if (!inside_end_mark && Below(6) == 0) noisy += Text(1 + Below(3));
  }
  noisy += Text(1 + Below(8));
  return noisy;
}

}  // namespace qvx::sim
