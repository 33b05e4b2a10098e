// The platform's own checks around opening a serial port: which devices may
// be ports at all, the lock that keeps every program of ours off a port that
// one of them holds, who holds a busy port, and which device a port name
// opens. The real port (qt_serial_port.cpp) and the command-line tool use
// them; port_guard_linux.cpp implements them, and a Windows build would add
// its own file beside it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "device/serial_port.h"

namespace qvx::device {

// The device path a port name opens, by the serial port's own rule: a name
// that starts with "/", "./" or "../" is a path already, any other lies in
// /dev ("ttyUSB0" -> "/dev/ttyUSB0", "pts/3" -> "/dev/pts/3").
std::string PortPath(const std::string& name);

// Why the device at `path` can be no port for the device, or "" when it may
// be one (or cannot be examined, which the open itself then reports). A
// port is a terminal device that is neither a system console nor the
// terminal this program is controlled from.
std::string NotAPort(const std::string& path);

// Takes the port that `handle` (the system's handle of the open port) refers
// to for this program: the handle must be a terminal, and no other program
// of ours may hold the port, whoever runs it (the system lets an
// administrator past the exclusive open). Returns no cause when the port is
// now held, else why not (Busy or OpenOther); the lock ends when the handle
// is closed.
PortFailure ClaimOpenPort(std::intptr_t handle);

// Why the system refused to open `path` as a port, in the user's words:
// Busy, kPortBusy (with the holder's process id where its lock file names
// it, as "(процесс 1234)"); Missing, kNoSuchDevice, when there is no device
// of that name (a name too long for any file included); OpenOther when the
// name is too long for the port's lock file; or Denied, kPermissionDenied,
// when this user may not open the device.
PortFailure WhyOpenRefused(const std::string& path);

// True when `system_text`, the system's words for a failed write, says that
// the device went away rather than that the write failed (as the system
// words "Input/output error" or "Inappropriate ioctl for device").
bool MeansPortGone(const std::string& system_text);

// An identity of the device `name` opens, equal for every spelling of one
// port ("/dev/pts/3", "pts/3", a link to it); none when it names no device.
std::optional<std::uint64_t> PortDeviceNumber(const std::string& name);

}  // namespace qvx::device
