#include "cli/program_device.h"

#include <sstream>

#include "cli/device_backup.h"
#include "cli/interrupt.h"
#include "cli/settings_diff.h"
#include "device/console_session.h"
#include "device/qt_serial_port.h"

namespace qvx::cli {
namespace {

// The headline of a failure with the system's own words after it, if any.
std::string WithSystemText(std::string headline, const device::SerialPort& port) {
  const std::string system_text = port.LastFailure().cause;
  if (!system_text.empty()) headline += " (" + system_text + ")";
  return headline;
}

}  // namespace

DeviceResult ProgramDevice(const MemorySettings& settings, const std::string& port,
                           const WriteJob& job, std::ostream& log) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  DeviceResult result;
  result.port = port;
  const auto took = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  };
  if (!job.backup_dir.empty()) {
    const KeptCopy kept = KeepDeviceSettings(port, job.backup_dir);
    result.backup = kept.path;
    if (kept.interrupted) {
      result.outcome = DeviceOutcome::Interrupted;
      result.cause = "запись не начата";
      result.took = took();
      return result;
    }
    if (!kept.failure.empty() && !job.force) {
      result.outcome = DeviceOutcome::Failed;
      result.cause = kept.failure + "; не записано (--force: записать без копии)";
      result.took = took();
      return result;
    }
    result.backup_failure = kept.failure;
  }
  MemorySettings working = settings;
  std::ostringstream failures;
  if (!result.backup.empty())
    log << "Копия настроек устройства сохранена: " << result.backup << "\n";
  if (!result.backup_failure.empty())
    failures << result.backup_failure << "; записывается без копии (--force)\n";
  std::ostream session_log(log.rdbuf());
  device::QtSerialPort serial;
  device::ConsoleSession session(serial, working, session_log, failures);
  session.StopWhen(Interrupted);

  switch (session.Write(port)) {
    case device::WriteOutcome::Sent:
      result.sent = working;
      result.outcome = DeviceOutcome::Sent;
      break;
    case device::WriteOutcome::Refused:
      result.outcome = DeviceOutcome::Refused;
      break;
    case device::WriteOutcome::PortNotOpen:
      result.outcome = DeviceOutcome::Failed;
      result.cause = WithSystemText(
          session.Messages().empty() ? "порт не открыт" : session.Messages().back(), serial);
      break;
    case device::WriteOutcome::WriteFailed:
      result.outcome = DeviceOutcome::Failed;
      result.cause = WithSystemText("Ошибка записи в порт", serial);
      break;
    case device::WriteOutcome::StoppedBeforeFrame:
      result.outcome = DeviceOutcome::Interrupted;
      result.cause = "запись не начата";
      break;
    case device::WriteOutcome::StoppedMidFrame:
      result.outcome = DeviceOutcome::Interrupted;
      result.cause = "кадр передан не полностью";
      break;
  }
  // A log that could not be written (a closed pipe) is the caller's to report.
  if (!session_log) log.setstate(session_log.rdstate());
  if (result.outcome == DeviceOutcome::Sent && job.verify) {
    std::ostringstream quiet;
    session_log.rdbuf(quiet.rdbuf());
    const bool settled = WaitUnlessInterrupted(std::chrono::milliseconds(job.settle_ms));
    const std::size_t messages_before = session.Messages().size();
    if (settled && session.Read(port) == device::ReplyOutcome::Success) {
      result.held = working;
      result.differing = DifferingSettings(result.sent, result.held);
      result.outcome = result.differing.empty() ? DeviceOutcome::Verified : DeviceOutcome::Differs;
    } else if (Interrupted()) {
      result.outcome = DeviceOutcome::Interrupted;
      result.cause = "кадр передан, проверка не выполнена";
    } else {
      failures << "не удалось прочитать устройство после записи\n";
      result.outcome = DeviceOutcome::Failed;
      result.cause = "не удалось прочитать устройство после записи";
      // The read's own message says why, since the cause alone replaces it.
      if (session.Messages().size() > messages_before)
        result.cause = WithSystemText(result.cause + ": " + session.Messages().back(), serial);
    }
  }
  result.permission_denied =
      result.outcome == DeviceOutcome::Failed && serial.LastFailure().permission_denied;
  result.failure = failures.str();
  result.took = took();
  return result;
}

}  // namespace qvx::cli
