// Arguments of the device commands of quorvex-cli and the port they run on.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "device/console_session.h"
#include "settings/settings.h"

namespace qvx::cli {

struct DeviceArgs {
  std::string file;    // the positional argument, if any
  std::string port;    // --port P
  std::string output;  // -o FILE
};

// Parses one optional positional argument, "--port P" and "-o FILE". Nothing
// on an unknown option, a missing or repeated value or a second positional argument.
std::optional<DeviceArgs> ParseDeviceArgs(const Args& args);

// Runs `command` on a console session over the real serial port, with the
// Qt core application the port needs (StartQt); every line of the
// session's failures starts with `error_prefix`. The session stops its
// exchange once Interrupted() (cli/interrupt.h). Returns what `command` returns.
int WithConsoleSession(Settings& settings, const std::string& error_prefix,
                       const std::function<int(device::ConsoleSession&)>& command);

}  // namespace qvx::cli
