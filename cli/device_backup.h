// What `write --backup DIR` keeps: the settings a device held before it is
// written over, read with a link of its own and saved in DIR.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "device/causes.h"

namespace qvx::cli {

struct KeptCopy {
  std::string path;     // the file written; "" when none
  std::string failure;  // why none was kept, in one line, without the system's words
  device::Cause cause = device::Cause::None;  // the read's cause, when it failed
  std::string system_text;                    // the port's own words of it, if any
  bool interrupted = false;
};

// Reads the device on `port` ("Прочитать", its 2000 ms window included) and
// saves what it holds as `folder`/PORT-YYYYMMDD-HHMMSS.qvx (see
// device/backup_name.h) by SaveKeptCopy.
// The port is closed again before this returns. Stops early once
// Interrupted() (cli/interrupt.h) is true.
KeptCopy KeepDeviceSettings(const std::string& port, const std::string& folder);

// Saves `bytes` in `folder` as BackupFileName(port, local), or with "-2",
// "-3", ... before ".qvx" while that name is taken, by SaveAsNewFile
// (config_file/file_io.h): inside `folder` only, never through a link or over
// anything there, also while other ports' copies claim the same name at the
// same moment. The path saved; "" when none.
std::string SaveKeptCopy(const std::string& folder, const std::string& port, const std::tm& local,
                         std::string_view bytes);

}  // namespace qvx::cli
