#include "cli/device_args.h"

#include <QCoreApplication>
#include <iostream>

#include "cli/command_line.h"
#include "device/qt_serial_port.h"
#include "sim/simulated_ports.h"

namespace qvx::cli {

int WithConsoleSession(Settings& settings, const std::string& error_prefix,
                       const std::function<int(device::ConsoleSession&)>& command) {
  int argc = 1;
  char name[] = "quorvex-cli";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);  // the serial port needs one
  device::QtSerialPort port;
  PrefixedLines prefixed(std::cerr, error_prefix);
  std::ostream err(&prefixed);
  device::ConsoleSession session(port, settings, std::cout, err, ListSimulatedPorts);
  return command(session);
}

}  // namespace qvx::cli
