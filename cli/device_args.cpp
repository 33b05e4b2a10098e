#include "cli/device_args.h"

namespace qvx::cli {

std::optional<DeviceArgs> ParseDeviceArgs(const Args& args) {
  DeviceArgs parsed;
  bool have_file = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--port" || arg == "-o") {
      if (i + 1 == args.size()) return std::nullopt;
      (arg == "--port" ? parsed.port : parsed.output) = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return std::nullopt;
    } else if (have_file) {
      return std::nullopt;
    } else {
      parsed.file = arg;
      have_file = true;
    }
  }
  return parsed;
}

}  // namespace qvx::cli
