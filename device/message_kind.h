// What an outcome shown to the user is. The logic that reaches an outcome
// says so, and hosts route by it: a message's wording may change freely.
#pragma once

namespace qvx::device {

enum class MessageKind {
  Success,  // the command did what was asked
  Refusal,  // the settings were refused before the port was used
  Failure,  // the port or the device failed
};

}  // namespace qvx::device
