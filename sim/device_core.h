// The simulated device without any line: bytes in with their arrival time,
// bytes out with the time they are due, and the settings it holds. It answers
// "A5A6" with its settings and stores a well-formed write frame; anything
// else it logs and ignores. Not thread-safe: one caller at a time.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "settings/memory_settings.h"
#include "sim/byte_log.h"
#include "sim/noise.h"
#include "sim/sim_options.h"

namespace qvx::sim {

// Bytes to send once their time has come.
struct Emission {
  Clock::time_point due;
  std::string bytes;
};

class DeviceCore {
 public:
  // sink, when given, sees every log entry as it happens.
  explicit DeviceCore(MemorySettings settings = {}, SimOptions options = {}, LogSink sink = {});

  // Takes bytes that arrived at `at`. Queues replies; stores complete frames.
  // After a hang-up or a stall every byte is ignored.
  void Receive(std::string_view bytes, Clock::time_point at);

  // Removes and returns the queued bytes due by `now`, oldest first, at most
  // max_bytes of them, and logs each emission as sent at `now`. The noise of
  // a flood is made here, piece by piece, so a queued flood costs no memory.
  std::vector<Emission> TakeDue(Clock::time_point now, std::size_t max_bytes = SIZE_MAX);

  // When the next queued bytes are due; Clock::time_point::max() when none.
  Clock::time_point NextDue() const;

  // Forgets queued bytes (the line went down), logging how many.
  void DropPending();

  // True once hangup_after bytes have arrived: the line must be closed.
  bool HungUp() const { return hung_up_; }
  // True once stall_after bytes have arrived: the line must take no more, so
  // that a writer's bytes wait in it and its write never completes.
  bool Stalled() const { return stalled_; }

  const MemorySettings& Settings() const { return settings_; }
  void SetSettings(const MemorySettings& settings) { settings_ = settings; }
  const SimOptions& Options() const { return options_; }
  void SetOptions(const SimOptions& options) { options_ = options; }

  int RequestsAnswered() const { return requests_; }
  int FramesStored() const { return frames_stored_; }
  int FramesRefused() const { return frames_refused_; }

 private:
  void TakeByte(char byte, Clock::time_point at);
  void Answer(Clock::time_point at);
  void FinishFrame(std::string_view body, Clock::time_point at);
  void Refuse(const std::string& why, Clock::time_point at);
  // A queued answer: `noise` flood bytes, then `bytes`; with a step, one byte
  // per step, `due` being the time of the next one.
  struct Pending {
    Clock::time_point due;
    std::size_t noise = 0;
    std::string bytes;
    std::size_t sent = 0;  // of bytes
    Clock::duration step{0};
    std::size_t Left() const { return noise + bytes.size() - sent; }
  };

  void Schedule(std::size_t noise, const std::string& bytes, Clock::time_point start);
  void Note(std::string text, Clock::time_point at);

  MemorySettings settings_;
  SimOptions options_;
  LogSink sink_;
  NoiseSource noise_;
  std::deque<Pending> pending_;  // ordered by due time
  std::string recent_;           // last bytes while idle, to spot a command
  std::string frame_;            // body of a write frame being received
  bool in_frame_ = false;
  std::size_t received_ = 0;
  bool hung_up_ = false;
  bool stalled_ = false;
  int requests_ = 0;
  int frames_stored_ = 0;
  int frames_refused_ = 0;
};

}  // namespace qvx::sim
