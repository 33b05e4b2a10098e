// Test helper: every setting of a Settings as "name=value" lines, so that
// tests compare whole states and failures show which setting differs.
#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"

namespace qvx {

inline std::vector<std::string> Snapshot(const Settings& settings) {
  std::vector<std::string> lines;
  for (const SettingInfo& setting : Catalogue()) {
    const std::string value = setting.kind == SettingKind::Text
                                  ? settings.Text(setting.name)
                                  : std::to_string(ReadValue(settings, setting));
    lines.push_back(std::string(setting.name) + "=" + value);
  }
  return lines;
}

}  // namespace qvx
