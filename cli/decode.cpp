// quorvex-cli decode [FILE|-]: what a device sent, as raw bytes, evaluated as
// "Прочитать" does; prints the settings line "Сохранить" would then write.
#include <iostream>
#include <iterator>

#include "cli/commands.h"
#include "cli/device_args.h"
#include "config_file/file_io.h"
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
    std::cerr << "usage: quorvex-cli decode [FILE|-]\n";
    return 2;
  }
  std::optional<std::string> bytes;
  if (parsed->file.empty() || parsed->file == "-") {
    bytes = ReadAll(std::cin);
  } else {
    // A folder opens as a stream but reads as nothing: only a file will do.
    const FileRead read = ReadSmallFile(parsed->file, kMaxInput);
    if (read.status == ReadStatus::NotFound || read.status == ReadStatus::Unreadable) {
      std::cerr << parsed->file
                << (read.status == ReadStatus::NotFound ? ": no such file\n"
                                                        : ": cannot be read\n");
      return 1;
    }
    if (read.status == ReadStatus::Ok) bytes = read.bytes;
  }
  if (!bytes) {
    std::cerr << "input too large for a device reply\n";
    return 1;
  }

  const device::ReplyEvaluation reply = device::EvaluateReceiveBuffer(device::ReceivedText(*bytes));
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
