// Settings as the JSON object of "show --json": keyed by control name (radio
// groups "Set13.1" ...); list index / position / radio number as integers,
// null for a list with no entry selected, strings for text fields.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "settings/settings.h"

namespace qvx::cli {

nlohmann::ordered_json SettingsToJson(const Settings& settings);

// Applies a JSON object onto settings in catalogue order. Unknown keys or
// values of the wrong type are refused before anything changes: returns an
// empty string on success, else a message naming the offending key.
std::string ApplySettingsJson(const nlohmann::json& object, Settings& settings);

}  // namespace qvx::cli
