// The settings in which two sets differ, and each difference in words; the
// CLI's diff and write --verify and the page's "Записать и проверить" share it.
#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"

namespace qvx {

// The settings whose values differ, in catalogue order.
std::vector<const SettingInfo*> DifferingSettings(const Settings& a, const Settings& b);

// One difference: place, caption, value A and value B with their option
// texts: Set07 пункт 3  Caption: 1 "Вкл" -> 0 "Выкл". No line end.
std::string DifferenceLine(const SettingInfo& setting, const Settings& a, const Settings& b);

}  // namespace qvx
