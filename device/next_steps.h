// What the installer should know or do after a device command ended as it
// did, in one or two sentences: what the window's own message leaves unsaid
// (a write the device does not confirm, a frame cut short, a silent device,
// a port that would not open). A face shows it below the window's text.
#pragma once

#include <string_view>

#include "device/command_steps.h"

namespace qvx::device {

// The next step after `outcome` with its `cause`; "" where the message says
// enough (a success read or verified, a stuck line's own words).
std::string_view NextStep(Outcome outcome, Cause cause);

// The browser's or the system's own words after the cause, in brackets:
// "CAUSE (The device has been lost.)"; `cause` alone when they are empty.
std::string InBrackets(std::string_view cause, std::string_view system_text);

}  // namespace qvx::device
