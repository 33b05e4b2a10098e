// quorvex-cli decode [FILE|-]: what a device sent, as raw bytes, evaluated as
// "Прочитать" does; prints the settings line "Сохранить" would then write.
#include <fstream>
#include <iostream>

#include "cli/commands.h"
#include "cli/device_args.h"
#include "config_file/file_io.h"
#include "config_file/settings_line.h"
#include "device/device_link.h"
#include "device/reply.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunDecode(const Args& args) {
  const auto parsed = ParseDeviceArgs(args);
  if (!parsed || !parsed->port.empty() || !parsed->output.empty()) {
    std::cerr << "usage: quorvex-cli decode [FILE|-]\n";
    return 2;
  }
  // Any stream, not only a regular file: a device reply may come from a pipe.
  FileRead input;
  if (parsed->file.empty() || parsed->file == "-") {
    input = ReadSmallStream(std::cin);
  } else {
    std::ifstream file(parsed->file, std::ios::binary);
    if (file) input = ReadSmallStream(file);
  }
  if (input.status == ReadStatus::TooLong) {
    std::cerr << "input too large for a device reply\n";
    return 1;
  }
  if (input.status != ReadStatus::Ok) {
    std::cerr << (parsed->file.empty() ? "-" : parsed->file) << ": cannot be read\n";
    return 1;
  }

  const device::ReplyEvaluation reply =
      device::EvaluateReceiveBuffer(device::ReceivedText(input.bytes));
  if (reply.outcome != device::ReplyOutcome::Success) {
    std::cerr << reply.message << "\n";
    return 1;
  }
  MemorySettings settings;
  device::ApplyReply(settings, reply);
  const BuiltSettingsLine line = BuildSettingsLine(settings);
  if (line.line.empty()) {
    std::cerr << line.refusal << "\n";
    return 1;
  }
  std::cout << line.line << "\n";
  return 0;
}

}  // namespace qvx::cli
