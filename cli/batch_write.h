// The write command's two forms: one port with the window's own log, and a
// batch of ports programmed in parallel with a summary line per port.
#pragma once

#include <string>
#include <vector>

#include "cli/program_device.h"

namespace qvx::cli {

// "Записать" on `port` with its console log on stdout, failures on stderr
// naming the port; with verification, the differences on stdout. Returns
// the exit code: 0 when the device was written (and holds what was sent).
// `on_result`, when given, gets the port's result once it is known.
int WriteOnePort(const MemorySettings& settings, const std::string& port, const WriteJob& job,
                 const ResultHook& on_result = {});

// Programs every port at once, one worker thread each; prints a summary line
// per port as it finishes, then the total. Returns 0 only when every port
// succeeded.
// `on_result`, when given, gets each port's result as it finishes.
int WriteManyPorts(const MemorySettings& settings, const std::vector<std::string>& ports,
                   const WriteJob& job, const ResultHook& on_result = {});

}  // namespace qvx::cli
