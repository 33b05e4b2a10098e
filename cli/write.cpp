// quorvex-cli write FILE --port P: "Записать" with FILE's settings on port P.
#include <iostream>

#include "cli/commands.h"
#include "cli/device_args.h"
#include "cli/settings_file.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunWrite(const Args& args) {
  const auto parsed = ParseDeviceArgs(args);
  if (!parsed || parsed->file.empty() || parsed->port.empty() || !parsed->output.empty()) {
    std::cerr << "usage: quorvex-cli write FILE --port P\n";
    return 2;
  }
  MemorySettings settings;
  if (const std::string refusal = LoadSettingsFile(parsed->file, settings); !refusal.empty()) {
    std::cerr << refusal << "\n";
    return 1;
  }
  return WithConsoleSession(settings, [&](device::ConsoleSession& session) {
    return session.Write(parsed->port) == device::WriteOutcome::Sent ? 0 : 1;
  });
}

}  // namespace qvx::cli
