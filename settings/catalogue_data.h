// The catalogue's data tables, read through catalogue.h.
#pragma once

#include <vector>

#include "settings/catalogue.h"

namespace qvx::catalogue_data {

std::vector<SettingInfo> BuildCatalogue();
extern const std::vector<TabInfo> kTabs;
extern const std::vector<ZoneColumn> kZoneColumns;

}  // namespace qvx::catalogue_data
