// What a device command asks its host to do (Step) and what the host tells
// it (Event), and how a command ended (Outcome and its Cause): the words
// between the command engine and every host that carries its steps out.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "device/causes.h"
#include "device/message_kind.h"
#include "device/text_fields.h"

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

// The outcome as a stable ASCII code for JavaScript and JSON: "refused",
// "cannotOpen", "writeFailed", "writeTimedOut", "lostMidFrame",
// "lostMidRead", "stoppedBeforeFrame", "stoppedMidFrame",
// "stoppedBeforeCheck", "stoppedReading", "noData", "notReady", "faulty",
// "abandoned", "readSuccess", "sent", "verifyEqual", "verifyDifferent".
std::string_view OutcomeCode(Outcome outcome);
// The inverse of OutcomeCode; nothing for a code it does not give.
std::optional<Outcome> OutcomeOfCode(std::string_view code);

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
    // `bound_ms` per byte; a host whose writes pass a buffer of its own
    // first (the browser's) bounds each write by `buffered_bound_ms`.
    // Awaits Written per write (or a failure).
    Send,
    // Collect what arrives until the host's clock reaches `until_ms`,
    // reading at most `read_max_bytes` every `read_every_ms` (the rest stays
    // unread; it is old input to the next command); a host that waits
    // between reads in slices takes `slice_ms`. Awaits Received and Time.
    Collect,
    StopCollecting,  // the collection is over: stop the timer and the read loop
    // Until the host's clock reaches `until_ms` (the recording), looking for
    // a stop every `slice_ms`; awaits Time.
    Wait,
    Log,           // `text` as one line of the console log
    TakeSettings,  // put the engine's Reply() into the settings
    ClearReceiveBuffer,
    // `text` with `title`, of `message_kind`. `port_error`: the port-open
    // error of the application's standard dialog (a host whose open shows
    // it itself skips it). `interim`: the command goes on after it; a host
    // may show it without waiting for the user.
    Message,
    // `outcome` and its `cause`, with the port's or the system's own words
    // apart in `system_text`; no step follows.
    Finished,
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
  int buffered_bound_ms = 0;
  double until_ms = 0;
  int read_every_ms = 0;
  std::size_t read_max_bytes = 0;
  int slice_ms = 0;
  std::string text;
  std::string title;
  MessageKind message_kind = MessageKind::Failure;
  bool port_error = false;
  bool interim = false;
  Outcome outcome = Outcome::Refused;
  Cause cause = Cause::None;
  std::string system_text;
};

struct Event {
  enum class Kind {
    Opened,
    OpenFailed,     // `cause`: Busy, Denied, Missing or OpenOther (None counts as OpenOther)
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
  Cause cause = Cause::None;
  // OpenFailed, WriteFailed, WriteTimedOut, Lost: the port's, the system's
  // or the browser's own account, if any ("Input/output error").
  std::string system_text;
};

}  // namespace qvx::device
