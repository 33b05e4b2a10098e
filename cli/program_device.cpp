#include "cli/program_device.h"

#include <sstream>

#include "cli/device_backup.h"
#include "cli/interrupt.h"
#include "device/command_runner.h"
#include "device/console_session.h"
#include "device/qt_serial_port.h"

namespace qvx::cli {
namespace {

// The headline of a failure with the system's own words after it, if any.
std::string WithSystemText(std::string headline, const device::SerialPort& port) {
  const std::string system_text = port.LastFailure().text;
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
  device::CommandEngine engine(job.verify ? device::Command::WriteVerify : device::Command::Write,
                               working, {.recording_ms = job.settle_ms});

  // Once the frame is out, everything of the verification stays quiet; the
  // read-back's message is kept for the cause.
  std::ostringstream quiet;
  bool verifying = false;
  std::size_t messages_before_check = 0;
  std::string read_back_message;
  const auto outcome =
      device::RunCommand(engine, session.Link(), working, session, port,
                         [&](const device::Step& step) {
                           if (verifying && step.kind == device::Step::Kind::Message) {
                             if (!step.port_error) read_back_message = step.text;
                             return false;
                           }
                           if (step.kind == device::Step::Kind::Wait) {
                             verifying = true;
                             messages_before_check = session.Messages().size();
                             // A log that could not be written (a closed pipe)
                             // is the caller's to report.
                             if (!session_log) log.setstate(session_log.rdstate());
                             session_log.rdbuf(quiet.rdbuf());
                           }
                           return true;
                         })
          .value_or(device::Outcome::Refused);
  if (!verifying && !session_log) log.setstate(session_log.rdstate());
  result.sent = engine.Sent();
  switch (outcome) {
    case device::Outcome::Sent:
      result.outcome = DeviceOutcome::Sent;
      break;
    case device::Outcome::VerifyEqual:
    case device::Outcome::VerifyDifferent:
      result.held = engine.Held();
      result.differing = engine.Differing();
      result.outcome = result.differing.empty() ? DeviceOutcome::Verified : DeviceOutcome::Differs;
      break;
    case device::Outcome::Refused:
      result.outcome = DeviceOutcome::Refused;
      break;
    case device::Outcome::CannotOpen:
      result.outcome = DeviceOutcome::Failed;
      result.cause = WithSystemText(
          session.Messages().empty() ? "порт не открыт" : session.Messages().back(), serial);
      break;
    case device::Outcome::StoppedBeforeFrame:
      result.outcome = DeviceOutcome::Interrupted;
      result.cause = "запись не начата";
      break;
    case device::Outcome::StoppedMidFrame:
      result.outcome = DeviceOutcome::Interrupted;
      result.cause = "кадр передан не полностью";
      break;
    case device::Outcome::StoppedBeforeCheck:
    case device::Outcome::StoppedReading:
      result.outcome = DeviceOutcome::Interrupted;
      result.cause = "кадр передан, проверка не выполнена";
      break;
    default:
      if (!verifying) {  // the frame did not leave whole
        result.outcome = DeviceOutcome::Failed;
        result.cause = WithSystemText("Ошибка записи в порт", serial);
        break;
      }
      failures << "не удалось прочитать устройство после записи\n";
      result.outcome = DeviceOutcome::Failed;
      result.cause = "не удалось прочитать устройство после записи";
      // The read's own message says why, since the cause alone replaces it.
      if (session.Messages().size() > messages_before_check)
        read_back_message = session.Messages().back();  // the port would not open again
      if (!read_back_message.empty())
        result.cause = WithSystemText(result.cause + ": " + read_back_message, serial);
      break;
  }
  result.permission_denied = result.outcome == DeviceOutcome::Failed &&
                             serial.LastFailure().cause == device::Cause::Denied;
  result.failure = failures.str();
  result.took = took();
  return result;
}

}  // namespace qvx::cli
