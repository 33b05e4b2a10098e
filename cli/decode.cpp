// quorvex-cli decode [FILE|-]: what a device sent, as raw bytes, evaluated as
// "Прочитать" does; prints the settings line "Сохранить" would then write.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "config_file/file_io.h"
#include "config_file/settings_line.h"
#include "device/device_link.h"
#include "device/reply.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunDecode(const Args& args) {
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, {}, 1, parsed); !problem.empty())
    return UsageError("decode", problem);
  const std::string name = parsed.positional.empty() ? "-" : parsed.positional[0];
  // Any stream, not only a regular file: a device reply may come from a pipe.
  FileRead input;
  if (name.empty() || name == "-") {
    input = ReadSmallStream(std::cin);
  } else {
    // A folder opens as a stream but reads as nothing: it is no reply.
    std::error_code error;
    std::ifstream file;
    if (!std::filesystem::is_directory(name, error)) file.open(name, std::ios::binary);
    input = file.is_open() ? ReadSmallStream(file) : FileRead{ReadStatus::Unreadable, {}};
  }
  if (input.status == ReadStatus::TooLong)
    return Failure("decode", "входные данные слишком велики для ответа устройства");
  if (input.status != ReadStatus::Ok)
    return Failure("decode", (name.empty() ? "-" : name) + ": Ошибка открытия файла");

  const device::ReplyEvaluation reply =
      device::EvaluateReceiveBuffer(device::ReceivedText(input.bytes));
  if (reply.outcome != device::ReplyOutcome::Success) {
    return Failure("decode", reply.message);
  }
  MemorySettings settings;
  device::ApplyReply(settings, reply);
  const BuiltSettingsLine line = BuildSettingsLine(settings);
  if (line.line.empty()) {
    return Failure("decode", line.refusal);
  }
  std::cout << line.line << "\n";
  return 0;
}

}  // namespace qvx::cli
