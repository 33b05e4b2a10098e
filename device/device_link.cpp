#include "device/device_link.h"

#include <algorithm>
#include <cctype>
#include <chrono>

namespace qvx::device {

double LinkHost::NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::string OpenErrorText(OpenResult result) {
  switch (result) {
    case OpenResult::Opened:
      return {};
    case OpenResult::CannotOpen:
      return "Error 1: Не могу открыть указанный Com порт!";
    case OpenResult::DefinitionRejected:
      return "Error 2";
    case OpenResult::LineNotSet:
      return "Error 3";
    case OpenResult::TimeoutsNotSet:
      return "Error 4";
  }
  return "Error 1: Не могу открыть указанный Com порт!";
}

std::string ReceivedText(std::string_view bytes) {
  std::string text(bytes);
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = '.';
  return text;
}

namespace {

int PortGroup(std::string_view name) {
  if (name.starts_with("ttyUSB") || name.starts_with("ttyACM")) return 0;
  if (name.starts_with("ttyS")) return 2;
  return 1;
}

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::size_t RunLength(std::string_view text, std::size_t from) {
  std::size_t end = from;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - from;
}

// Compares runs of digits by their value (a longer run is larger: "01" after
// "1"), everything else byte by byte.
bool NameBefore(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (!IsDigit(a[i]) || !IsDigit(b[j])) {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
      continue;
    }
    const std::size_t run_a = RunLength(a, i);
    const std::size_t run_b = RunLength(b, j);
    if (run_a != run_b) return run_a < run_b;
    if (const int order = a.substr(i, run_a).compare(b.substr(j, run_b)); order != 0)
      return order < 0;
    i += run_a;
    j += run_b;
  }
  return a.size() - i < b.size() - j;
}

}  // namespace

std::vector<std::string> OrderPlatformPorts(std::vector<std::string> names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int group_a = PortGroup(a), group_b = PortGroup(b);
    return group_a != group_b ? group_a < group_b : NameBefore(a, b);
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::vector<std::string> DeviceLink::ListComPorts() const {
  std::vector<std::string> ports;
  if (extra_ports_) ports = extra_ports_();
  for (const std::string& name : OrderPlatformPorts(port_.PlatformPortNames()))
    if (std::find(ports.begin(), ports.end(), name) == ports.end()) ports.push_back(name);
  return ports;
}

void DeviceLink::OpenComPort() {
  const OpenResult result = port_.Open(state.PortName, state.PortSettings);
  state.PortOpen = result == OpenResult::Opened;
  if (state.PortOpen)
    host_.AppendLog(std::string(kPortOpenedLine));
  else
    host_.ShowPortError(OpenErrorText(result));
}

void DeviceLink::CloseComPort() {
  port_.Close();
  state.PortOpen = false;
  host_.AppendLog(std::string(kPortClosedLine));
}

bool DeviceLink::WriteComPort(std::string_view text, int pause_ms) {
  text = text.substr(0, text.find('\0'));
  const bool complete = text.empty() || port_.Write(text) == text.size();
  if (!complete) {
    host_.AppendLog(std::string(kWriteFailedLine));
    host_.WriteFailed();
  }
  host_.Pause(pause_ms);
  return complete;
}

void DeviceLink::ReadComPort(const ReadLoop& loop) {
  do {
    const std::string bytes = port_.Read(loop.max_bytes);
    state.ReceiveBuffer += ReceivedText(bytes);
    if (loop.received) loop.received(bytes);
    host_.ProcessEvents();
    host_.Pause(loop.pause_ms);
    if (loop.turn_ended) loop.turn_ended();
  } while (!state.StopReading);
}

void DeviceLink::EnsureComPortOpen(const std::string& selected) {
  // A port that released itself when its line was lost counts as closed.
  if (state.PortOpen && port_.IsOpen() && selected == state.OpenPortName) return;
  CloseComPort();
  state.PortName = selected;
  state.OpenPortName = selected;
  state.PortSettings = std::string(kLineDefinition);
  OpenComPort();
}

}  // namespace qvx::device
