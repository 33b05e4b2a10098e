// The device commands as a sequence without any I/O: given the settings and
// a command, the engine says what to do next (mark a field, open the port,
// send bytes, collect what arrives, show a message, ...) and is told what
// happened (the port opened, bytes went out, bytes arrived, the time, ...).
// It holds no clock, no port and no toolkit, so the window, the command-line
// tool and the page run the same sequence, each over its own port.
// Not thread-safe: one caller at a time.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "device/command_steps.h"
#include "device/protocol.h"
#include "device/reply.h"
#include "device/text_fields.h"
#include "settings/memory_settings.h"
#include "settings/settings.h"

namespace qvx::device {

// How a finished command ended, as the faces report it (see
// device/batch_summary.h for its words).
struct CommandResult {
  Command command = Command::Write;
  Outcome outcome = Outcome::Refused;
  Cause cause = Cause::None;
  std::string system_text{};  // the port's or the system's own words, apart
  bool frame_sent = false;    // the whole frame left: a failure after it is the read-back's
  std::size_t differing = 0;
};

struct EngineOptions {
  int recording_ms = kRecordingMs;  // WriteVerify: from the frame's end to the read-back
  // What ReceiveBuffer already holds: a read does not clear it when it
  // starts (the window's link keeps it between commands).
  std::string receive_buffer{};
};

class CommandEngine {
 public:
  // `settings` must outlive Start: the write checks write their normalised
  // texts back into them. Nothing else of the engine touches them: a read
  // takes its reply over by the step TakeSettings.
  CommandEngine(Command command, Settings& settings, EngineOptions options = {});

  // The steps up to the first that awaits an event, or up to Finished.
  std::vector<Step> Start(double now_ms);
  // The steps that `event` leads to, up to the next awaiting step or
  // Finished; none when the command goes on waiting. Events after Finished
  // give nothing.
  std::vector<Step> Feed(const Event& event);

  Command Kind() const { return command_; }
  std::optional<Outcome> Result() const { return result_; }
  // Once finished: why (None for a success), and the port's own words.
  Cause ResultCause() const { return cause_; }
  const std::string& SystemText() const { return system_text_; }
  // True once the whole frame left the port.
  bool FrameSent() const { return frame_sent_; }
  // Once finished: the result as the faces report it.
  CommandResult Summary() const;
  // When the wait or the collection under way ends, on the host's clock.
  double DueMs() const { return until_ms_; }
  // The text collected so far, as the window's ReceiveBuffer holds it.
  const std::string& ReceiveBuffer() const { return buffer_; }
  // The last evaluation of a reply.
  const ReplyEvaluation& Reply() const { return reply_; }
  // Write and WriteVerify: the settings as sent (after the write checks).
  const MemorySettings& Sent() const { return sent_; }
  // WriteVerify after a reply: what the device holds, and where it differs.
  const MemorySettings& Held() const { return held_; }
  const std::vector<const SettingInfo*>& Differing() const { return differing_; }
  // The words of each difference, as quorvex-cli diff gives them.
  std::vector<std::string> DifferenceLines() const;
  // The seconds left of the wait under way, "Чтение: 1,5 с" or
  // "Запись: 2,9 с"; empty when nothing is awaited.
  std::string Countdown(double now_ms) const;

 private:
  enum class Phase { Idle, Opening, Sending, Recording, Collecting, Done };
  void Begin(std::vector<Step>& steps);
  void OpenForReply(std::vector<Step>& steps);
  void StartCollecting(std::vector<Step>& steps, double now_ms);
  void Evaluate(std::vector<Step>& steps);
  void FrameEnded(std::vector<Step>& steps, double now_ms);
  void Finish(std::vector<Step>& steps, Outcome outcome, Cause cause,
              const std::string& system_text = {});
  std::vector<Step> Opened(const Event& event);
  std::vector<Step> Sending(const Event& event);
  std::vector<Step> Recording(const Event& event);
  std::vector<Step> Collecting(const Event& event);
  bool VerifyingReply() const { return command_ == Command::WriteVerify; }

  Command command_;
  Settings& settings_;
  EngineOptions options_;
  Phase phase_ = Phase::Idle;
  bool reading_ = false;  // the bytes under way are the request, not the frame
  std::string frame_;
  std::size_t written_ = 0;
  double until_ms_ = 0;
  std::string buffer_;
  ReplyEvaluation reply_;
  MemorySettings sent_;
  MemorySettings held_;
  std::vector<const SettingInfo*> differing_;
  std::optional<Outcome> result_;
  Cause cause_ = Cause::None;
  std::string system_text_;
  bool frame_sent_ = false;
};

// The steps of the reception window's end: stop collecting, the reply's
// entries as log lines, the settings taken over when every field passed,
// the outcome's message, ReceiveBuffer cleared, "Прочитать" shown again,
// Finished. `reply` receives the evaluation of `buffer`.
std::vector<Step> ReceptionEndSteps(const std::string& buffer, ReplyEvaluation& reply);

// The engine's outcome of an evaluated reply.
Outcome ReadOutcome(ReplyOutcome outcome);

// The cause of an evaluated reply's outcome: None for a success.
Cause ReadCause(ReplyOutcome outcome);

}  // namespace qvx::device
