#include "cli/device_args.h"

#include <iostream>

#include "cli/command_line.h"
#include "cli/device_session.h"
#include "cli/interrupt.h"
#include "device/qt_serial_port.h"
#include "sim/simulated_ports.h"

namespace qvx::cli {

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
