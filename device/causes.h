// Why a device command ended as it did, as a type: every face (the window,
// the command-line tool, the page) tells its user the same cause for the
// same behaviour of a device, whatever its port said in its own words.
#pragma once

#include <optional>
#include <string_view>

namespace qvx::device {

enum class Cause {
  None,
  Lost,           // the port went away (unplugged, the line died)
  WriteTimedOut,  // a write did not leave within its bound
  WriteFailed,    // a write failed otherwise
  Busy,           // the port would not open: another program holds it
  Denied,         // ... this user may not open it
  Missing,        // ... there is no such device
  OpenOther,      // ... for another reason
  NoData,         // no reply within the reception window
  NotReady,       // the device's SIM card is not ready
  FaultyField,    // a text field refused, or a faulty or cut-short reply
  Stopped,        // the user or the program asked to stop
};

// The cause as a stable ASCII code for JavaScript and JSON: "" for None,
// then "lost", "writeTimedOut", "writeFailed", "busy", "denied", "missing",
// "openOther", "noData", "notReady", "faultyField", "stopped".
std::string_view CauseCode(Cause cause);

// The inverse of CauseCode; nothing for a code it does not give.
std::optional<Cause> CauseOfCode(std::string_view code);

// True for the causes of a port that would not open.
bool IsOpenCause(Cause cause);

}  // namespace qvx::device
