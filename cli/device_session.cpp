#include "cli/device_session.h"

#include <QGuiApplication>
#include <sstream>

#include "cli/command_line.h"
#include "cli/interrupt.h"
#include "cli/progress.h"
#include "cli/qt_messages.h"
#include "device/console_session.h"
#include "device/qt_serial_port.h"

namespace qvx::cli {

std::unique_ptr<QCoreApplication> StartQt(bool gui) {
  // Qt keeps references to these for the application's whole life.
  static int argc = 1;
  static char name[] = "quorvex-cli";
  static char* argv[] = {name, nullptr};
  RouteQtMessages();
  if (!gui) return std::make_unique<QCoreApplication>(argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QGuiApplication>(argc, argv);
}

bool ReadDevice(const std::string& port, Settings& settings, std::ostream& err,
                const std::string& prefix) {
  std::ostringstream log;       // the console log: not wanted here
  std::ostringstream failures;  // printed once the progress line is gone
  bool read = false;
  {
    device::QtSerialPort serial;
    device::ConsoleSession session(serial, settings, log, failures);
    session.StopWhen(Interrupted);
    const Progress progress("чтение устройства на порту " + port);
    read = session.Read(port).outcome == device::Outcome::ReadSuccess;
  }
  PrefixedLines prefixed(err, prefix);
  std::ostream(&prefixed) << failures.str() << std::flush;
  return read;
}

}  // namespace qvx::cli
