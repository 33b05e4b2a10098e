// The catalogue's data tables, read through catalogue.h.
#pragma once

#include <vector>

#include "settings/catalogue.h"

namespace qvx::catalogue_data {

std::vector<SettingInfo> BuildCatalogue();
extern const std::vector<std::string_view> kTabCaptions;
extern const std::vector<ZoneColumn> kZoneColumns;
extern const LayoutTexts kLayout;

}  // namespace qvx::catalogue_data
