#include "device/port_causes.h"

namespace qvx::device {

std::vector<std::string> PortFailureLines(const PortFailure& failure) {
  if (failure.text.empty()) return {};
  std::vector<std::string> lines{failure.text};
  if (failure.cause == Cause::Denied) lines.emplace_back(kDialoutHint);
  return lines;
}

std::vector<std::string> PortFailureLines(std::string_view port, const PortFailure& failure) {
  std::vector<std::string> lines = PortFailureLines(failure);
  if (lines.empty()) return lines;
  if (port.empty() && lines.front() == kNoPortNamed)
    lines.front() = "Порт не указан";
  else
    lines.front() = "Порт " + (port.empty() ? std::string("без имени") : std::string(port)) + ": " +
                    lines.front();
  return lines;
}

}  // namespace qvx::device
