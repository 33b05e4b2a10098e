// The differences of two settings sets, for people and for scripts; used by
// diff and by write --verify. Which settings differ is the core's
// (settings/settings_diff.h).
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "settings/settings.h"
#include "settings/settings_diff.h"

namespace qvx::cli {

// One line per difference: place, caption, value A and value B with their
// option texts: Set07 пункт 3  Caption: 1 "Вкл" -> 0 "Выкл".
void PrintDifferences(std::ostream& out, const std::vector<const SettingInfo*>& differing,
                      const Settings& a, const Settings& b);

// The same as a JSON array of objects: setting, place, caption, and a and b
// each with value (null for no selection) and text.
nlohmann::ordered_json DifferencesToJson(const std::vector<const SettingInfo*>& differing,
                                         const Settings& a, const Settings& b);

}  // namespace qvx::cli
