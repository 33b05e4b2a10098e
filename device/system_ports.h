// The names of the computer's serial ports ("ttyS0", "ttyUSB0"), the ones
// QSerialPortInfo lists, sorted by name.
#pragma once

#include <string>
#include <vector>

namespace qvx::device {

// On Linux read from sysfs by QSerialPortInfo's own rules for it: asking
// the device manager (udev) instead costs tens of milliseconds of system
// time at every start of the window. Elsewhere QSerialPortInfo's list.
std::vector<std::string> SystemSerialPortNames();

}  // namespace qvx::device
