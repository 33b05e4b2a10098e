// Arguments of the device commands of quorvex-cli and the port they run on.
#pragma once

#include <optional>
#include <string>

#include "cli/commands.h"

namespace qvx::cli {

struct DeviceArgs {
  std::string file;    // the positional argument, if any
  std::string port;    // --port P
  std::string output;  // -o FILE
};

// Parses one optional positional argument, "--port P" and "-o FILE". Nothing
// on an unknown option, a missing value or a second positional argument.
std::optional<DeviceArgs> ParseDeviceArgs(const Args& args);

}  // namespace qvx::cli
