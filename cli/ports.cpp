// quorvex-cli ports [--json]: the serial ports the window lists, described.
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_session.h"
#include "cli/output_check.h"
#include "cli/port_list.h"

namespace qvx::cli {

int RunPorts(const Args& args) {
  static constexpr OptionSpec kOptions[] = {{"--json"}};
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, kOptions, 0, parsed); !problem.empty())
    return UsageError("ports", problem);
  const auto qt = StartQt(false);
  const std::vector<PortDetails> ports = ListPortDetails();
  if (parsed.Has("--json")) {
    std::cout << PortsToJson(ports).dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
              << "\n";
  } else {
    for (const PortDetails& port : ports) std::cout << PortLine(port) << "\n";
  }
  return OutputWritten("ports") ? 0 : 1;
}

}  // namespace qvx::cli
