// The settings in which two sets differ, for people and for scripts; used by
// diff and by write --verify.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "settings/settings.h"

namespace qvx::cli {

// The settings whose values differ, in catalogue order.
std::vector<const SettingInfo*> DifferingSettings(const Settings& a, const Settings& b);

// One line per difference: place, caption, value A and value B with their
// option texts: Set07 пункт 3  Caption: 1 "Вкл" -> 0 "Выкл".
void PrintDifferences(std::ostream& out, const std::vector<const SettingInfo*>& differing,
                      const Settings& a, const Settings& b);

// The same as a JSON array of objects: setting, place, caption, and a and b
// each with value (null for no selection) and text.
nlohmann::ordered_json DifferencesToJson(const std::vector<const SettingInfo*>& differing,
                                         const Settings& a, const Settings& b);

}  // namespace qvx::cli
