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

// What a save does with a file already under the name it writes.
enum class ExistingFile {
  ReplaceGivenName,  // replaced when it has the name as given; one that only
                     // the appended ".qvx" hits is kept
  Keep,              // kept: the save is refused
  Replace,           // replaced
};

// The name a save writes: `path` for ".json", else with ".qvx" appended by
// the save command's rule.
std::string SavedName(const std::string& path);

// Writes the settings: ".json" as the JSON object, any other name by the save
// command. An existing file is replaced atomically, or kept as `existing`
// says. Returns "" on success, else what to print; a refused save writes
// nothing.
std::string SaveSettingsFile(const Settings& settings, const std::string& path,
                             ExistingFile existing = ExistingFile::ReplaceGivenName);

// What SaveSettingsFile would refuse before writing anything: an empty name,
// a missing folder, an existing file that `existing` keeps ("NAME: файл уже
// существует и не заменён"). "" when none; for checking before work whose
// result would be lost.
std::string CheckSaveTarget(const std::string& path,
                            ExistingFile existing = ExistingFile::ReplaceGivenName);

}  // namespace qvx::cli
