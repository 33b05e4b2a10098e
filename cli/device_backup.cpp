#include "cli/device_backup.h"

#include <ctime>
#include <filesystem>
#include <sstream>

#include "cli/interrupt.h"
#include "config_file/file_io.h"
#include "config_file/settings_line.h"
#include "device/backup_name.h"
#include "device/batch_summary.h"
#include "device/console_session.h"
#include "device/qt_serial_port.h"
#include "settings/memory_settings.h"

namespace qvx::cli {
namespace {

// A name in `folder` that no file has yet: a second copy within the same
// second gets "-2", "-3", ... before ".qvx", never replacing the first.
std::string UnusedPath(const std::string& folder, const std::string& name) {
  namespace fs = std::filesystem;
  const fs::path first = fs::path(folder) / name;
  fs::path path = first;
  std::error_code error;
  for (int n = 2; fs::exists(path, error) || error; ++n) {
    if (error) return path.string();  // the save names the folder's fault
    path = first.parent_path() / (first.stem().string() + "-" + std::to_string(n) + ".qvx");
  }
  return path.string();
}

}  // namespace

KeptCopy KeepDeviceSettings(const std::string& port, const std::string& folder) {
  KeptCopy kept;
  MemorySettings held;
  {
    std::ostringstream quiet;
    std::ostringstream failures;
    device::QtSerialPort serial;
    device::ConsoleSession session(serial, held, quiet, failures);
    session.StopWhen(Interrupted);
    const device::CommandResult read = session.Read(port);
    if (read.outcome != device::Outcome::ReadSuccess) {
      kept.interrupted = read.cause == device::Cause::Stopped;
      kept.cause = read.cause;
      kept.system_text = read.system_text;
      kept.failure = "не удалось прочитать устройство перед записью: " + CauseText(read);
      return kept;
    }
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::string path = UnusedPath(folder, BackupFileName(port, local));
  const BuiltSettingsLine line = BuildSettingsLine(held);
  if (line.line.empty() || !WriteFileAtomically(path, line.line + "\r\n")) {
    kept.failure = path + ": Ошибка сохранения файла";
    return kept;
  }
  kept.path = path;
  return kept;
}

}  // namespace qvx::cli
