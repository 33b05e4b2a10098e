// Starting the simulated device from a configuration file.
#pragma once

#include <string>

#include "settings/memory_settings.h"

namespace qvx::sim {

// Opens a .qvx file onto settings by OpenSettingsFile. Returns an empty
// string on success, else "FILE: <the open command's message>"; a file whose
// lists the device could not report (an entry out of range) is refused too.
// On refusal settings are unchanged.
std::string LoadSettingsFile(const std::string& path, MemorySettings& settings);

}  // namespace qvx::sim
