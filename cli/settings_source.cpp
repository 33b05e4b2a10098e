#include "cli/settings_source.h"

#include "cli/command_line.h"
#include "cli/device_session.h"
#include "cli/settings_file.h"

namespace qvx::cli {
namespace {

constexpr std::string_view kPortPrefix = "port:";

}  // namespace

bool IsPortSource(const std::string& source) {
  return source.starts_with(kPortPrefix);
}

std::optional<LoadedSource> LoadSource(const std::string& source, std::string_view command,
                                       std::ostream& err) {
  LoadedSource loaded;
  if (source == "defaults") {
    loaded.description = "настройки по умолчанию";
    return loaded;
  }
  if (IsPortSource(source)) {
    const std::string port = source.substr(kPortPrefix.size());
    if (port.empty()) {
      err << Prefix(command) << source << ": не указано имя порта\n";
      return std::nullopt;
    }
    if (!ReadDevice(port, loaded.settings, err, Prefix(command) + port + ": ")) return std::nullopt;
    loaded.description = "устройство на порту " + port;
    return loaded;
  }
  if (const std::string refusal = LoadSettingsFile(source, loaded.settings); !refusal.empty()) {
    err << Prefix(command) << refusal << "\n";
    return std::nullopt;
  }
  loaded.description = "файл " + source;
  return loaded;
}

}  // namespace qvx::cli
