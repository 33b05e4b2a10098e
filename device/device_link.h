// The link state shared by the device commands and the service console, and
// the link operations on it. Runs on one thread; a nested handler run from
// the host's ProcessEvents may change the state (StopReading above all).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "device/line_definition.h"
#include "device/link_host.h"
#include "device/protocol.h"
#include "device/serial_port.h"

namespace qvx::device {

struct RunningCommand;  // device/command_runner.h

inline constexpr std::string_view kPortOpenedLine = "ком открыт";
inline constexpr std::string_view kPortClosedLine = "ком закрыт";
inline constexpr std::string_view kWriteFailedLine = "Ошибка в WriteFile";

struct LinkState {
  bool PortOpen = false;
  std::string PortName;  // port the next OpenComPort opens
  std::string PortSettings{kLineDefinition};
  std::string OpenPortName;   // port the last device command opened or tried
  std::string ReceiveBuffer;  // received text; bytes below 0x20 stored as "."
  bool StopReading = false;
};

// Lists ports that the platform does not know, such as those of running
// simulators; they head the port list.
using PortLister = std::function<std::vector<std::string>()>;

// The platform's port names in the order the port list shows them: USB serial
// adapters (ttyUSB*, ttyACM*) first, as the programmer is one, then other
// ports, then the built-in serial ports (ttyS*). Within a group by name, with
// numbers compared as numbers (ttyS2 before ttyS10), so the order does not
// depend on the order the platform found them in.
std::vector<std::string> OrderPlatformPorts(std::vector<std::string> names);

// The message an open result shows in the standard dialog; empty for Opened.
std::string OpenErrorText(OpenResult result);

class DeviceLink {
 public:
  // `port` (the PortHandle) and `host` must outlive the link. `extra_ports`
  // may be empty: then only the platform's ports are listed.
  DeviceLink(SerialPort& port, LinkHost& host, PortLister extra_ports = {})
      : port_(port), host_(host), extra_ports_(std::move(extra_ports)) {}

  LinkState state;
  // The command whose read loop runs, for the handlers run nested in it
  // (the reception timer, STOP); null when none.
  RunningCommand* collecting = nullptr;

  // The extra ports in their lister's order, then the platform's ports as
  // OrderPlatformPorts orders them; each name once.
  std::vector<std::string> ListComPorts() const;
  // Opens PortName with PortSettings. Success: PortOpen true, "ком открыт"
  // logged. Failure: the Error 1..4 dialog, PortOpen false.
  void OpenComPort();
  // Closes the port, sets PortOpen false and logs "ком закрыт" on every call.
  void CloseComPort();
  // Writes the text up to its first NUL in one write, then pauses `pause_ms`
  // (the console's send: 1 ms). Logs "Ошибка в WriteFile" when not every
  // byte was written. Returns whether all were.
  bool WriteComPort(std::string_view text, int pause_ms = kPauseAfterWriteMs);

  // How the read loop turns: the read loop of the console and of a Collect
  // step. `received` gets each read's bytes (also none), `turn_ended` runs
  // after each turn's pause; either may be empty.
  struct ReadLoop {
    std::size_t max_bytes = kReadChunk;
    int pause_ms = kPauseBetweenReadsMs;
    std::function<void(std::string_view)> received;
    std::function<void()> turn_ended;
  };
  // Read loop: read up to `max_bytes`, append them to ReceiveBuffer (and
  // hand them to `received`), let events run, pause `pause_ms`, then
  // `turn_ended`; repeats until StopReading is set. Runs at least once.
  void ReadComPort(const ReadLoop& loop);
  void ReadComPort() { ReadComPort(ReadLoop{}); }
  // When the port is not open or `selected` (the text of ComboBox1) differs
  // from OpenPortName: close, take `selected` as PortName and OpenPortName,
  // reset PortSettings, open. Afterwards the caller goes on only if PortOpen.
  void EnsureComPortOpen(const std::string& selected);

  LinkHost& Host() { return host_; }
  // The port the link opens, writes and reads.
  SerialPort& PortHandle() { return port_; }

 private:
  SerialPort& port_;
  LinkHost& host_;
  PortLister extra_ports_;
};

// Received bytes as ReceiveBuffer keeps them: every byte below 0x20 becomes ".".
std::string ReceivedText(std::string_view bytes);

}  // namespace qvx::device
