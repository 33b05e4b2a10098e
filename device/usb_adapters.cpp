#include "device/usb_adapters.h"

#include <array>
#include <cstdio>
#include <map>

#include "device/port_causes.h"

namespace qvx::device {
namespace {

struct KnownAdapter {
  int vendor;
  int product;
  std::string_view family;
};

// The chips of the programmers and cables sold with alarm devices; their
// drivers are the ones an installer has to get right on Windows.
constexpr std::array<KnownAdapter, 13> kKnown{{
    {0x1A86, 0x7523, "CH340"},
    {0x1A86, 0x5523, "CH341"},
    {0x1A86, 0x7522, "CH340"},
    {0x1A86, 0x55D4, "CH9102"},
    {0x10C4, 0xEA60, "CP210x"},
    {0x10C4, 0xEA70, "CP210x"},
    {0x10C4, 0xEA71, "CP210x"},
    {0x0403, 0x6001, "FTDI"},
    {0x0403, 0x6010, "FTDI"},
    {0x0403, 0x6011, "FTDI"},
    {0x0403, 0x6014, "FTDI"},
    {0x0403, 0x6015, "FTDI"},
    {0x067B, 0x2303, "PL2303"},
}};

std::string Hex4(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value) & 0xFFFFu);
  return text;
}

std::string Label(const UsbIds& ids) {
  if (!ids.vendor) return "Последовательный порт";
  const int product = ids.product.value_or(0);
  const std::string numbers = Hex4(*ids.vendor) + ":" + Hex4(product);
  const std::string_view family = AdapterFamily(*ids.vendor, product);
  if (family.empty()) return "USB " + numbers;
  return std::string(family) + " (" + numbers + ")";
}

}  // namespace

std::string_view AdapterFamily(int vendor, int product) {
  for (const KnownAdapter& known : kKnown)
    if (known.vendor == vendor && known.product == product) return known.family;
  return {};
}

std::vector<std::string> AdapterLabels(const std::vector<UsbIds>& ports) {
  std::vector<std::string> labels;
  std::map<std::string, int> count;
  for (const UsbIds& ids : ports) ++count[labels.emplace_back(Label(ids))];
  std::map<std::string, int> seen;
  for (std::string& label : labels)
    if (count[label] > 1) label += " №" + std::to_string(++seen[label]);
  return labels;
}

std::string_view BrowserOpenCause(std::string_view error_name) {
  if (error_name == "NetworkError" || error_name == "InvalidStateError") return kPortBusy;
  if (error_name == "NotFoundError") return kNoSuchDevice;
  if (error_name == "SecurityError") return kPermissionDenied;
  return "порт не открылся";
}

Cause BrowserOpenCauseOf(std::string_view error_name) {
  if (error_name == "NetworkError" || error_name == "InvalidStateError") return Cause::Busy;
  if (error_name == "NotFoundError") return Cause::Missing;
  if (error_name == "SecurityError") return Cause::Denied;
  return Cause::OpenOther;
}

}  // namespace qvx::device
