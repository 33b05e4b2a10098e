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

#include "device/message_kind.h"
#include "device/protocol.h"
#include "device/reply.h"
#include "device/text_fields.h"
#include "settings/memory_settings.h"
#include "settings/settings.h"

namespace qvx::device {

enum class Command {
  Write,        // "Записать"
  Read,         // "Прочитать"
  WriteVerify,  // write, wait the recording, read back, compare
  Listen,  // the console's "Открыть ком-порт": open as is, then listen as a read does
};

enum class Outcome {
  Refused,             // the settings were refused before the port was used
  CannotOpen,          // the port would not open
  WriteFailed,         // a write of the frame left bytes unsent
  WriteTimedOut,       // a write of the frame did not complete within its bound
  LostMidFrame,        // the port went away while the frame was sent
  LostMidRead,         // ... while the reply was awaited (or the recording)
  StoppedBeforeFrame,  // a stop was asked for before the first byte went out
  StoppedMidFrame,     // ... after some bytes: the device holds a part of the frame
  StoppedBeforeCheck,  // the frame went out; the read-back did not happen
  StoppedReading,      // a read or listen ended by a stop: nothing evaluated
  NoData,              // no end mark: "Не удалось получить данные"
  NotReady,            // "A0A0": the SIM card is not ready
  Faulty,              // a field of the reply failed its check
  Abandoned,           // the reply was cut short
  ReadSuccess,         // the reply was taken over
  Sent,                // the frame left the port (the device acknowledges nothing)
  VerifyEqual,         // the device holds what was sent
  VerifyDifferent,     // the device holds other settings
};

struct Step {
  enum class Kind {
    MarkField,      // `field` gets `mark` (red or white)
    SubscriberTab,  // show the tab "Список аб."
    WriteButton,    // `visible`
    ReadButton,     // `visible`
    // Open the chosen port; awaits Opened or OpenFailed. `reopen`: as the
    // device commands do (close first unless the same port is open);
    // otherwise open as is, without closing (the console's listen).
    OpenPort,
    DropInput,  // drop what arrived before now
    // Send `bytes`, one per write when `per_byte` (else in one write), with
    // a pause of at least `pause_ms` after each write, each write bounded by
    // `bound_ms` per byte. Awaits Written per write (or a failure).
    Send,
    // Collect what arrives until the host's clock reaches `until_ms`,
    // reading at most `read_max_bytes` every `read_every_ms` (the rest stays
    // unread; it is old input to the next command). Awaits Received and Time.
    Collect,
    StopCollecting,  // the collection is over: stop the timer and the read loop
    Wait,            // until `until_ms` (the recording); awaits Time
    Log,             // `text` as one line of the console log
    TakeSettings,    // put Reply() into the settings
    ClearReceiveBuffer,
    // `text` with `title`, of `message_kind`. `port_error`: the port-open
    // error of the application's standard dialog (a host whose open shows
    // it itself skips it). `interim`: the command goes on after it; a host
    // may show it without waiting for the user.
    Message,
    Finished,  // `outcome`; no step follows
  };
  Kind kind = Kind::Finished;
  std::string field;
  FieldMark mark = FieldMark::Unchanged;
  bool visible = false;
  bool reopen = true;
  std::string bytes;
  bool per_byte = false;
  int pause_ms = 0;
  int bound_ms = 0;
  double until_ms = 0;
  int read_every_ms = 0;
  std::size_t read_max_bytes = 0;
  std::string text;
  std::string title;
  MessageKind message_kind = MessageKind::Failure;
  bool port_error = false;
  bool interim = false;
  Outcome outcome = Outcome::Refused;
};

struct Event {
  enum class Kind {
    Opened,
    OpenFailed,     // `cause`: the system's or the browser's reason, if any
    Written,        // `count` bytes of the step's write went out
    WriteFailed,    // a write left bytes unsent
    WriteTimedOut,  // a write did not complete within its bound
    Received,       // `bytes` arrived
    Time,           // only `now_ms`
    Lost,           // the port went away
    Stop,           // the user or the program asked to stop
  };
  Kind kind = Kind::Time;
  double now_ms = 0;  // the host's clock, in ms, when it happened
  std::size_t count = 0;
  std::string bytes;
  std::string cause;
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
  void Finish(std::vector<Step>& steps, Outcome outcome);
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
};

// The steps of the reception window's end: stop collecting, the reply's
// entries as log lines, the settings taken over when every field passed,
// the outcome's message, ReceiveBuffer cleared, "Прочитать" shown again,
// Finished. `reply` receives the evaluation of `buffer`.
std::vector<Step> ReceptionEndSteps(const std::string& buffer, ReplyEvaluation& reply);

// The engine's outcome of an evaluated reply.
Outcome ReadOutcome(ReplyOutcome outcome);

}  // namespace qvx::device
