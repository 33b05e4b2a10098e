#include "settings/settings_diff.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/catalogue.h"
#include "settings/memory_settings.h"
#include "settings/setting_text.h"

namespace qvx {
namespace {

std::vector<std::string> Names(const std::vector<const SettingInfo*>& settings) {
  std::vector<std::string> names;
  for (const SettingInfo* setting : settings) names.emplace_back(setting->name);
  return names;
}

TEST(SettingsDiff, EachKindOfChangeIsOneDifferenceInCatalogueOrder) {
  const MemorySettings defaults;
  EXPECT_TRUE(DifferingSettings(defaults, defaults).empty());

  struct Case {
    const char* name;
    std::function<void(MemorySettings&)> change;
  };
  const std::vector<Case> cases = {
      {"ComboBox12", [](MemorySettings& s) { s.SetListIndex("ComboBox12", 3); }},
      {"TrackBar884", [](MemorySettings& s) { s.SetSliderPosition("TrackBar884", 4); }},
      {"Set13.1", [](MemorySettings& s) { s.SetRadioNumber("Set13.1", 2); }},
      {"Edit30", [](MemorySettings& s) { s.SetText("Edit30", "8080"); }},
  };
  MemorySettings all;
  for (const Case& c : cases) {
    MemorySettings changed;
    c.change(changed);
    c.change(all);
    EXPECT_EQ(Names(DifferingSettings(defaults, changed)), std::vector<std::string>{c.name});
  }
  std::vector<std::string> expected;
  for (const Case& c : cases) expected.emplace_back(c.name);
  EXPECT_EQ(Names(DifferingSettings(defaults, all)), expected);
}

TEST(SettingsDiff, LineNamesPlaceCaptionAndBothValuesWithTheirTexts) {
  const MemorySettings defaults;
  MemorySettings changed;
  changed.SetListIndex("ComboBox12", 3);
  changed.SetText("Edit30", "80\x01");
  const SettingInfo& list = *FindSetting("ComboBox12");
  EXPECT_EQ(DifferenceLine(list, defaults, changed),
            "Set02 пункт 1  " + SettingCaption(list) + ": 1 \"" + std::string(list.options[1]) +
                "\" -> 3 \"" + std::string(list.options[3]) + "\"");
  // A text shows quoted, its control bytes escaped.
  EXPECT_EQ(DifferenceLine(*FindSetting("Edit30"), defaults, changed),
            "Edit30  Порт: \"20198\" -> \"80\\x01\"");
}

}  // namespace
}  // namespace qvx
