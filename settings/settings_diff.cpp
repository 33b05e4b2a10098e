#include "settings/settings_diff.h"

#include "settings/catalogue.h"
#include "settings/setting_text.h"

namespace qvx {

std::vector<const SettingInfo*> DifferingSettings(const Settings& a, const Settings& b) {
  std::vector<const SettingInfo*> differing;
  for (const SettingInfo& setting : Catalogue())
    if (!SameValue(a, b, setting)) differing.push_back(&setting);
  return differing;
}

std::string DifferenceLine(const SettingInfo& setting, const Settings& a, const Settings& b) {
  return SettingPlace(setting) + "  " + SettingCaption(setting) + ": " + ValueWithText(a, setting) +
         " -> " + ValueWithText(b, setting);
}

}  // namespace qvx
