// The serial ports as the window lists them, with what the system tells
// about each.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace qvx::cli {

struct PortDetails {
  std::string name;         // as the window lists it: "ttyUSB0", "/dev/pts/4"
  std::string location;     // the device path
  std::string description;  // the driver's or adapter's own description
  std::string manufacturer;
  std::string serial_number;
  std::string vendor_id;  // four hex digits, empty unless USB
  std::string product_id;
  std::string by_id;       // its /dev/serial/by-id name, if any
  bool simulator = false;  // a running quorvex-sim
  bool Usb() const { return !vendor_id.empty(); }
};

// The ports ListComPorts finds, in its order. Needs a Qt core application.
std::vector<PortDetails> ListPortDetails();

// "USB 0403:6001, FTDI, ..., /dev/serial/by-id/..."; empty when nothing is known.
std::string DescribePort(const PortDetails& port);

// The line "ports" prints: the name, then two blanks and the description
// when there is one. Control bytes show as \xNN, as in "show": a port name or
// an adapter's description must not drive the terminal.
std::string PortLine(const PortDetails& port);

// Every text as the system gave it; JSON escapes control bytes itself.
nlohmann::ordered_json PortsToJson(const std::vector<PortDetails>& ports);

}  // namespace qvx::cli
