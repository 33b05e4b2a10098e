// Names of the USB serial adapters installers plug in, told by their USB
// vendor and product ids, and the words for a port the browser would not
// open. Used where only the ids are known (the browser's serial ports).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/causes.h"

namespace qvx::device {

struct UsbIds {
  std::optional<int> vendor;   // none: not a USB port
  std::optional<int> product;  // none: unknown
};

// The adapter's chip family for known ids ("CH340", "CP210x", "FTDI",
// "PL2303"); empty for ids we do not know.
std::string_view AdapterFamily(int vendor, int product);

// One entry per port, in the given order: "CH340 (1A86:7523)" for a known
// adapter, "USB 1234:ABCD" for other ids, "Последовательный порт" for a
// port with none. Entries that would read alike get " №1", " №2", ... in
// order, so every entry names one port.
std::vector<std::string> AdapterLabels(const std::vector<UsbIds>& ports);

// The cause of a refused open in the words of our other programs, from the
// browser's DOMException name: NetworkError is a port another program (or
// another tab) holds, NotFoundError one that is gone, SecurityError one the
// page may not use. Any other name gives a generic cause, never empty.
std::string_view BrowserOpenCause(std::string_view error_name);

// The same refusal as a type: Busy, Missing, Denied, else OpenOther.
Cause BrowserOpenCauseOf(std::string_view error_name);

}  // namespace qvx::device
