// Settings as the JSON object of "show --json": keyed by control name (radio
// groups "Set13.1" ...); list index / position / radio number as integers,
// null for a list with no entry selected, strings for text fields.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace qvx::cli {

nlohmann::ordered_json SettingsToJson(const Settings& settings);

// Applies the JSON text of a settings object onto settings in catalogue
// order. The object must be a whole settings set: every setting once, no
// other key, each value of its setting's type and inside its range (a list
// index of an option or null, a slider position within the slider, a radio
// number of a button), the high threshold not below the low one. Anything
// else is refused before a setting changes: returns "" on success, else the
// refusal naming the key and the value (missing keys: the first ten, then
// how many more).
std::string ApplySettingsJson(std::string_view text, Settings& settings);

}  // namespace qvx::cli
