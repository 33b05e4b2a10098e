#include "device/device_link.h"

#include <algorithm>

#include "device/simulated_ports.h"

namespace qvx::device {

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

std::vector<std::string> DeviceLink::ListComPorts() const {
  std::vector<std::string> ports = port_.PlatformPortNames();
  for (const std::string& simulated : ListSimulatedPorts())
    if (std::find(ports.begin(), ports.end(), simulated) == ports.end()) ports.push_back(simulated);
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

bool DeviceLink::WriteComPort(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  const bool complete = text.empty() || port_.Write(text) == text.size();
  if (!complete) host_.AppendLog(std::string(kWriteFailedLine));
  host_.Pause(kPauseAfterWriteMs);
  return complete;
}

void DeviceLink::ReadComPort() {
  do {
    state.ReceiveBuffer += ReceivedText(port_.Read(kReadChunk));
    host_.ProcessEvents();
    host_.Pause(kPauseBetweenReadsMs);
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
