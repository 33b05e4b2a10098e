// One device programmed on one port: "Записать", and with verification the
// wait while the device stores, "Прочитать", and the comparison of every
// setting. Each call owns its serial port and link state, so calls on
// different ports may run at the same time on different threads.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "device/batch_summary.h"
#include "device/device_commands.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

inline constexpr int kDefaultSettleMs = device::kRecordingMs;

struct WriteJob {
  bool verify = false;
  int settle_ms = kDefaultSettleMs;  // from the frame's end to the read-back
  std::string file;                  // where the settings came from, named in a refusal
  std::string backup_dir;            // read and keep each device's settings here first; "" not
  bool force = false;                // write even where no copy could be kept
};

struct DeviceResult;
// Called on the calling thread with each port's result as it finishes:
// the archive's journal (cli/archive_journal.h).
using ResultHook = std::function<void(const DeviceResult&)>;

struct DeviceResult {
  std::string port;
  DeviceOutcome outcome = DeviceOutcome::Failed;
  // The command's own outcome, for the archive's journal; none when the
  // work ended without one (a worker that threw).
  std::optional<device::Outcome> command_outcome;
  std::string failure;  // the messages of a failure or a refusal, one a line
  // Failed or Interrupted: the cause in one line, as the summary of a batch
  // and the page give it (CauseText: "связь с портом потеряна", "кадр
  // передан не полностью"), never the system's own words. A failure is
  // reported by this line and `system_text` alone, not by `failure`, which
  // says it again.
  std::string cause;
  device::Cause cause_kind = device::Cause::None;
  std::string system_text;         // Failed: the port's or the system's own words, if any
  bool permission_denied = false;  // Failed: the user may not open the port (the dialout hint)
  MemorySettings sent;             // as written (texts as the write check left them)
  MemorySettings held;             // as read back
  std::vector<const SettingInfo*> differing;
  std::string backup;          // the file that keeps what the device held before; "" when none
  std::string backup_failure;  // forced: why no copy was kept
  std::chrono::milliseconds took{0};
};

// Programs the device on `port` with `settings`. With a backup folder it
// first reads the device into a new file there (see device/backup_name.h);
// a device that cannot be read or kept fails unforced before any byte is
// sent to it. The write's console log
// lines and messages go to `log` while it runs; everything of the
// verification stays quiet. Runs on a thread that may use the real port (see
// device/qt_serial_port.h). Stops early, between two bytes, once
// Interrupted() (cli/interrupt.h) is true.
DeviceResult ProgramDevice(const MemorySettings& settings, const std::string& port,
                           const WriteJob& job, std::ostream& log);

}  // namespace qvx::cli
