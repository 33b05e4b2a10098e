// The port the device commands of quorvex-cli run on.
#pragma once

#include <functional>
#include <string>

#include "device/console_session.h"
#include "settings/settings.h"

namespace qvx::cli {

// Runs `command` on a console session over the real serial port, with the
// Qt core application the port needs (StartQt); every line of the
// session's failures starts with `error_prefix`. The session stops its
// exchange once Interrupted() (cli/interrupt.h). Returns what `command` returns.
int WithConsoleSession(Settings& settings, const std::string& error_prefix,
                       const std::function<int(device::ConsoleSession&)>& command);

}  // namespace qvx::cli
