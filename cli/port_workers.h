// Work on many ports at once: one thread per port, each result handed back
// to the calling thread as it comes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/program_device.h"

namespace qvx::cli {

// Runs `work(port)` for every port, each on a thread of its own that may use
// the real port (see device/qt_serial_port.h), and calls `finished` with each
// result on the calling thread, in the order they end. A `work` that throws
// gives a Failed result for its port with the exception's text as the cause;
// a thread that cannot be started gives one too. Returns once every thread
// has ended, also when `finished` throws (which is then passed on).
void RunOnEveryPort(const std::vector<std::string>& ports,
                    const std::function<DeviceResult(const std::string&)>& work,
                    const std::function<void(DeviceResult)>& finished);

}  // namespace qvx::cli
