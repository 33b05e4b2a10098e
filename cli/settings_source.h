// Where the commands for installers take settings from: a settings file, the
// defaults, or the device on a port.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "settings/memory_settings.h"

namespace qvx::cli {

struct LoadedSource {
  MemorySettings settings;
  std::string description;  // "файл set.qvx", "настройки по умолчанию", "устройство на порту P"
};

// True for "port:NAME", a source that needs the serial port (and so a Qt
// core application in the calling thread).
bool IsPortSource(const std::string& source);

// A source is "defaults", "port:NAME" (read from the device as "Прочитать"
// does, the 2000 ms window shown as progress on a terminal) or a file,
// .json or .qvx. On failure prints each message on `err` after
// Prefix(command) and gives nothing.
std::optional<LoadedSource> LoadSource(const std::string& source, std::string_view command,
                                       std::ostream& err);

}  // namespace qvx::cli
