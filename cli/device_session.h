// The device commands on the real serial port for the installer commands:
// one Qt core application per process, a session whose messages name the
// port, and the read-back of a device.
#pragma once

#include <QCoreApplication>
#include <memory>
#include <ostream>
#include <string>

#include "settings/settings.h"

namespace qvx::cli {

// The Qt application the serial port (see device/qt_serial_port.h) and,
// with `gui`, the PDF writer need: the one way the tool starts Qt. Create
// it once, in the main thread, before any port is used. A graphical one
// runs on the offscreen platform unless another is chosen.
std::unique_ptr<QCoreApplication> StartQt(bool gui);

// "Прочитать" on `port` into `settings` with a fresh link. The session's log
// lines are dropped; its failure messages go to `err`, each line after
// `prefix`. True when the device's settings were taken over.
bool ReadDevice(const std::string& port, Settings& settings, std::ostream& err,
                const std::string& prefix);

}  // namespace qvx::cli
