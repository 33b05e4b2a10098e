#include "cli/program_device.h"

#include <sstream>

#include "cli/device_backup.h"
#include "cli/interrupt.h"
#include "device/command_runner.h"
#include "device/console_session.h"
#include "device/qt_serial_port.h"

namespace qvx::cli {

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
      result.command_outcome = device::Outcome::StoppedBeforeFrame;
      result.cause_kind = device::Cause::Stopped;
      result.cause = CauseText(
          {device::Command::Write, device::Outcome::StoppedBeforeFrame, device::Cause::Stopped});
      result.took = took();
      return result;
    }
    if (!kept.failure.empty() && !job.force) {
      result.outcome = DeviceOutcome::Failed;
      result.command_outcome = device::Outcome::Refused;  // not written: no copy kept
      result.cause_kind = kept.cause;
      result.cause = kept.failure + "; не записано (--force: записать без копии)";
      result.system_text = kept.system_text;
      result.permission_denied = kept.cause == device::Cause::Denied;
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

  // Once the frame is out, everything of the verification stays quiet.
  std::ostringstream quiet;
  bool verifying = false;
  device::RunCommand(engine, session.Link(), working, session, port, [&](const device::Step& step) {
    if (verifying && step.kind == device::Step::Kind::Message) return false;
    if (step.kind == device::Step::Kind::Wait) {
      verifying = true;
      // A log that could not be written (a closed pipe)
      // is the caller's to report.
      if (!session_log) log.setstate(session_log.rdstate());
      session_log.rdbuf(quiet.rdbuf());
    }
    return true;
  });
  if (!verifying && !session_log) log.setstate(session_log.rdstate());
  const device::CommandResult done = engine.Summary();
  result.sent = engine.Sent();
  result.outcome = DeviceOutcomeOf(done.outcome);
  result.command_outcome = done.outcome;
  result.cause_kind = done.cause;
  result.cause = CauseText(done);
  if (result.outcome == DeviceOutcome::Failed) result.system_text = done.system_text;
  if (result.outcome == DeviceOutcome::Verified || result.outcome == DeviceOutcome::Differs) {
    result.held = engine.Held();
    result.differing = engine.Differing();
  }
  result.permission_denied =
      result.outcome == DeviceOutcome::Failed && done.cause == device::Cause::Denied;
  result.failure = failures.str();
  result.took = took();
  return result;
}

}  // namespace qvx::cli
