#include "cli/program_device.h"

#include <sstream>
#include <thread>

#include "cli/settings_diff.h"
#include "device/console_session.h"
#include "device/qt_serial_port.h"

namespace qvx::cli {

DeviceResult ProgramDevice(const MemorySettings& settings, const std::string& port,
                           const WriteJob& job, std::ostream& log) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  DeviceResult result;
  result.port = port;
  MemorySettings working = settings;
  std::ostringstream failures;
  std::ostream session_log(log.rdbuf());
  device::QtSerialPort serial;
  device::ConsoleSession session(serial, working, session_log, failures);

  const device::WriteOutcome written = session.Write(port);
  if (written == device::WriteOutcome::Sent) {
    result.sent = working;
    result.outcome = DeviceOutcome::Sent;
  } else {
    result.outcome =
        written == device::WriteOutcome::Refused ? DeviceOutcome::Refused : DeviceOutcome::Failed;
  }
  if (result.outcome == DeviceOutcome::Sent && job.verify) {
    std::ostringstream quiet;
    session_log.rdbuf(quiet.rdbuf());
    std::this_thread::sleep_for(std::chrono::milliseconds(job.settle_ms));
    if (session.Read(port) == device::ReplyOutcome::Success) {
      result.held = working;
      result.differing = DifferingSettings(result.sent, result.held);
      result.outcome = result.differing.empty() ? DeviceOutcome::Verified : DeviceOutcome::Differs;
    } else {
      failures << "не удалось прочитать устройство после записи\n";
      result.outcome = DeviceOutcome::Failed;
    }
  }
  result.failure = failures.str();
  result.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  return result;
}

}  // namespace qvx::cli
