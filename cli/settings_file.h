// Settings files of quorvex-cli: configuration files (.qvx) through the
// window's own save and open commands, and the JSON object of "show --json".
#pragma once

#include <string>

#include "settings/settings.h"

namespace qvx::cli {

// Loads a file onto the settings: a name ending in ".json" (any case) as the
// JSON object, any other as a configuration file by the open command.
// Returns "" on success, else what to print; a refused file changes nothing.
std::string LoadSettingsFile(const std::string& path, Settings& settings);

// Writes the settings: ".json" as the JSON object (replacing the file), any
// other name by the save command, ".qvx" appended by its rule; a file that
// only the appended name hits is not replaced. Returns "" on success, else
// what to print; a refused save writes nothing.
std::string SaveSettingsFile(const Settings& settings, const std::string& path);

// What SaveSettingsFile would refuse before writing anything: an empty name,
// a missing folder, a file that only the appended ".qvx" hits. "" when none; for
// checking before work whose result would be lost.
std::string CheckSaveTarget(const std::string& path);

}  // namespace qvx::cli
