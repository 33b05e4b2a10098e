// quorvex-cli decode [FILE|-]: what a device sent, as raw bytes, evaluated as
// "Прочитать" does; prints the settings line "Сохранить" would then write.
#include <fstream>
#include <iostream>
#include <iterator>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_args.h"
#include "config_file/settings_line.h"
#include "device/device_link.h"
#include "device/reply.h"
#include "settings/memory_settings.h"

namespace qvx::cli {
namespace {

// A device reply is a few hundred bytes; anything far larger is not one.
constexpr std::size_t kMaxInput = 1 << 20;

std::optional<std::string> ReadAll(std::istream& in) {
  std::string bytes;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxInput) return std::nullopt;
  }
  return bytes;
}

}  // namespace

int RunDecode(const Args& args) {
  const auto parsed = ParseDeviceArgs(args);
  if (!parsed || !parsed->port.empty() || !parsed->output.empty()) {
    return UsageError("decode", "лишний или неизвестный аргумент");
  }
  std::optional<std::string> bytes;
  if (parsed->file.empty() || parsed->file == "-") {
    bytes = ReadAll(std::cin);
  } else {
    std::ifstream file(parsed->file, std::ios::binary);
    if (!file) {
      return Failure("decode", parsed->file + ": Ошибка открытия файла");
    }
    bytes = ReadAll(file);
  }
  if (!bytes) {
    return Failure("decode", "входные данные слишком велики для ответа устройства");
  }

  const device::ReplyEvaluation reply = device::EvaluateReceiveBuffer(device::ReceivedText(*bytes));
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
