// The simulated device on a pseudo-terminal, served by a thread of the
// calling process: a port opened on Path() talks to a DeviceCore. For tests
// (in process) and for the quorvex-sim program. POSIX only.
//
// The port can be closed and opened again at the same path. Moments after
// each close (also when the port was opened again at once) the device
// discards what the port had not read and drops the replies still queued, as
// a real line loses them, so an opener gets no answer meant for an earlier
// one. HangUp() instead closes the pseudo-terminal for good, as when the
// device is unplugged.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "settings/memory_settings.h"
#include "sim/device_core.h"
#include "sim/unique_fd.h"

namespace qvx::sim {

struct TimedByte {
  Clock::time_point at;
  unsigned char byte;
};

class PtyDevice {
 public:
  // Opens a pseudo-terminal (raw, no echo) and starts serving. sink, when
  // given, sees every log entry on the serving thread, called without any
  // lock held, so a slow sink delays only the serving; it must not call back
  // into this object. Throws std::system_error when no pseudo-terminal can
  // be had.
  explicit PtyDevice(MemorySettings settings = {}, SimOptions options = {}, LogSink sink = {});
  ~PtyDevice();  // Stop()
  PtyDevice(const PtyDevice&) = delete;
  PtyDevice& operator=(const PtyDevice&) = delete;

  // The port to open, such as "/dev/pts/7".
  const std::string& Path() const { return path_; }

  // The bytes received since the start or ClearReceived(), with their
  // arrival time; only the latest kKeptReceived of them.
  static constexpr std::size_t kKeptReceived = 4096;
  std::vector<TimedByte> Received() const;
  std::string ReceivedText() const;
  void ClearReceived();
  // Waits until at least count bytes have arrived since the start or
  // ClearReceived(); false on timeout.
  bool WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const;

  // The note lines of the log ("port opened", "stored ...", "three long
  // beeps", "port closed", ...).
  std::vector<std::string> Notes() const;
  // Waits until `note` is among them at least count times; false on timeout.
  bool WaitForNote(const std::string& note, int count, std::chrono::milliseconds timeout) const;

  // The device's settings and options, read or replaced between exchanges.
  MemorySettings Settings() const;
  void SetSettings(const MemorySettings& settings);
  void SetOptions(const SimOptions& options);

  int RequestsAnswered() const;
  int FramesStored() const;
  int FramesRefused() const;
  // Waits until this many frames were stored or refused in all; false on timeout.
  bool WaitForFrames(int count, std::chrono::milliseconds timeout) const;

  // Closes the pseudo-terminal now: the port sees the line drop. Returns
  // once the line is closed, or at once when the device is (being) stopped.
  void HangUp();
  // True once the line was closed, by HangUp() or by the hangup_after option.
  bool HungUp() const;

  // Stops serving and closes the pseudo-terminal; a HangUp() waiting in
  // another thread returns. Safe to call twice from one thread.
  void Stop();

 private:
  void Serve();
  void Record(const LogEntry& entry);  // with mutex_ held
  void FlushLog();                     // without mutex_ held
  void TakePortEvents();
  bool ReadLine();  // false when nothing was there
  void SendSome();
  void CloseAll();  // with mutex_ held
  void Wake();      // with mutex_ held, so the pipe cannot close meanwhile

  UniqueFd master_;
  UniqueFd slave_;      // held open so the port can be closed and opened again
  UniqueFd watch_;      // inotify on the port: its opens and closes
  UniqueFd wake_read_;  // pipe: a byte in it wakes the serving thread
  UniqueFd wake_write_;
  std::string path_;
  LogSink sink_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  DeviceCore core_;
  std::deque<TimedByte> received_;  // the latest kKeptReceived
  std::size_t received_count_ = 0;
  std::vector<std::string> notes_;
  std::vector<LogEntry> unlogged_;  // for sink_, once mutex_ is released
  // Serving thread only: due bytes not yet written; whether the last opener
  // closed the port and no one wrote since (opened_since_close_: someone opened).
  std::string outgoing_;
  bool line_closed_ = false;
  bool opened_since_close_ = false;
  bool output_stopped_ = false;  // the stall_after option has suspended the opener's writes
  bool stop_ = false;
  bool hangup_requested_ = false;
  bool hung_up_ = false;

  std::thread thread_;
};

}  // namespace qvx::sim
