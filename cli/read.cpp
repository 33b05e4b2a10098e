// quorvex-cli read --port P -o FILE: "Прочитать" on port P, then the device's
// settings saved to FILE.
#include <QCoreApplication>
#include <iostream>

#include "cli/commands.h"
#include "cli/device_args.h"
#include "cli/settings_file.h"
#include "device/console_session.h"
#include "device/qt_serial_port.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunRead(const Args& args) {
  const auto parsed = ParseDeviceArgs(args);
  if (!parsed || !parsed->file.empty() || parsed->port.empty() || parsed->output.empty()) {
    std::cerr << "usage: quorvex-cli read --port P -o FILE\n";
    return 2;
  }
  int argc = 1;
  char name[] = "quorvex-cli";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);  // the serial port needs one
  device::QtSerialPort port;
  MemorySettings settings;
  device::ConsoleSession session(port, settings, std::cout, std::cerr);
  if (session.Read(parsed->port) != device::ReplyOutcome::Success) return 1;
  if (const std::string refusal = SaveSettingsFile(settings, parsed->output); !refusal.empty()) {
    std::cerr << refusal << "\n";
    return 1;
  }
  return 0;
}

}  // namespace qvx::cli
