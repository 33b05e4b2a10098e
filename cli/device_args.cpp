#include "cli/device_args.h"

#include <iostream>

#include "cli/command_line.h"
#include "cli/device_session.h"
#include "cli/interrupt.h"
#include "device/qt_serial_port.h"
#include "sim/simulated_ports.h"

namespace qvx::cli {

std::optional<DeviceArgs> ParseDeviceArgs(const Args& args) {
  DeviceArgs parsed;
  bool have_file = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--port" || arg == "-o") {
      std::string& value = arg == "--port" ? parsed.port : parsed.output;
      if (i + 1 == args.size() || !value.empty()) return std::nullopt;  // missing or repeated
      value = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return std::nullopt;
    } else if (have_file) {
      return std::nullopt;
    } else {
      parsed.file = arg;
      have_file = true;
    }
  }
  return parsed;
}

int WithConsoleSession(Settings& settings, const std::string& error_prefix,
                       const std::function<int(device::ConsoleSession&)>& command) {
  const auto qt = StartQt(false);
  device::QtSerialPort port;
  PrefixedLines prefixed(std::cerr, error_prefix);
  std::ostream err(&prefixed);
  device::ConsoleSession session(port, settings, std::cout, err, ListSimulatedPorts);
  session.StopWhen(Interrupted);
  return command(session);
}

}  // namespace qvx::cli
