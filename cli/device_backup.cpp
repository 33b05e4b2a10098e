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

std::string SaveKeptCopy(const std::string& folder, const std::string& port, const std::tm& local,
                         std::string_view bytes) {
  const std::string first = BackupFileName(port, local);
  const std::string stem = first.substr(0, first.size() - 4);  // without ".qvx"
  const std::string name = SaveAsNewFile(folder, bytes, [&](int n) {
    return n == 1 ? first : stem + "-" + std::to_string(n) + ".qvx";
  });
  return name.empty() ? std::string() : (std::filesystem::path(folder) / name).string();
}

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
  const BuiltSettingsLine line = BuildSettingsLine(held);
  if (!line.line.empty()) kept.path = SaveKeptCopy(folder, port, local, line.line + "\r\n");
  if (kept.path.empty())
    kept.failure = (std::filesystem::path(folder) / BackupFileName(port, local)).string() +
                   ": Ошибка сохранения файла";
  return kept;
}

}  // namespace qvx::cli
