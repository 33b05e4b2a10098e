// The name under which a device's settings are kept before it is written
// over: PORT-YYYYMMDD-HHMMSS.qvx, safe as a file name on every system.
#pragma once

#include <ctime>
#include <string>

namespace qvx {

// The port's name made a file name: "/dev/" dropped, every separator,
// control byte, blank and character Windows refuses ("\/:*?\"<>|") as "_",
// a leading dot as "_" (no hidden file, no ".."); "port" for an empty name.
// Letters beyond ASCII stay.
std::string SafePortName(const std::string& port);

// "pts_4-20261209-235012.qvx" for /dev/pts/4 at that local time.
std::string BackupFileName(const std::string& port, const std::tm& local);

}  // namespace qvx
