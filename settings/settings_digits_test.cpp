#include "settings/settings_digits.h"

#include <gtest/gtest.h>

#include "settings/memory_settings.h"
#include "tests/support/changed_settings.h"

namespace qvx {
namespace {

std::string AsText(const SettingsDigits& digits) {
  std::string text;
  for (int d : digits) text += static_cast<char>('0' + d);
  return text;
}

TEST(SettingsDigits, DefaultsInBothNumberings) {
  MemorySettings s;
  const DigitsReading plain = ReadSettingsDigits(s, ListNumbering::Plain);
  ASSERT_EQ(plain.unselected, nullptr);
  EXPECT_EQ(AsText(plain.digits),
            "000000111111111111000000000000100050111111123911101111111110000000111111001107110400"
            "000000");
  const DigitsReading device = ReadSettingsDigits(s, ListNumbering::Device);
  EXPECT_EQ(AsText(device.digits),
            "111111111111111111000000000000100050111111123911101111111111000000111111001107110400"
            "000000");
}

TEST(SettingsDigits, ThresholdSignsTensAndUnits) {
  MemorySettings s;
  s.SetSliderPosition("TrackBar1", -7);
  s.SetSliderPosition("TrackBar2", 42);
  EXPECT_EQ(AsText(ReadSettingsDigits(s, ListNumbering::Plain).digits).substr(30, 6), "104207");
  EXPECT_EQ(ThresholdFromDigits(1, 5, 9), 59);
  EXPECT_EQ(ThresholdFromDigits(0, 9, 9), -99);
  EXPECT_EQ(ThresholdFromDigits('x' - '0', 0, 7), -7);
}

TEST(SettingsDigits, UnselectedListIsReportedInCatalogueOrder) {
  MemorySettings s;
  s.SetListIndex("ComboBox10104", 42);
  s.SetListIndex("ComboBox553", 42);
  const DigitsReading reading = ReadSettingsDigits(s, ListNumbering::Plain);
  ASSERT_NE(reading.unselected, nullptr);
  EXPECT_EQ(reading.unselected->name, "ComboBox553");
}

TEST(SettingsDigits, ApplyThenReadGivesTheSameDigits) {
  const MemorySettings source = ChangedSettings();
  for (ListNumbering numbering : {ListNumbering::Plain, ListNumbering::Device}) {
    const DigitsReading reading = ReadSettingsDigits(source, numbering);
    MemorySettings target;
    ApplySettingsDigits(target, reading.digits, numbering);
    EXPECT_EQ(AsText(ReadSettingsDigits(target, numbering).digits), AsText(reading.digits));
  }
}

TEST(SettingsDigits, ApplyOrderSetsHighThresholdBeforeLow) {
  // High 5 then low -50 keeps 5; reading the other way round would not matter
  // here, so take a high threshold below the low one: it is raised to it.
  MemorySettings s;
  s.SetSliderPosition("TrackBar1", 30);  // shown before the load
  SettingsDigits digits = ReadSettingsDigits(s, ListNumbering::Plain).digits;
  const int group6[] = {1, 1, 1, 0, 2, 0};  // high 10, low 20
  std::copy(std::begin(group6), std::end(group6), digits.begin() + 30);
  ApplySettingsDigits(s, digits, ListNumbering::Plain);
  EXPECT_EQ(s.SliderPosition("TrackBar2"), 30);  // raised to the earlier low threshold
  EXPECT_EQ(s.SliderPosition("TrackBar1"), 20);
}

TEST(SettingsDigits, OutOfRangeValuesFollowTheControlRules) {
  MemorySettings s;
  SettingsDigits digits = ReadSettingsDigits(s, ListNumbering::Device).digits;
  digits[0] = 0;    // ComboBox11 gets index -1: nothing selected
  digits[6] = 9;    // ComboBox12 has four options
  digits[45] = 72;  // TrackBar884 clamps to 9
  digits[72] = 7;   // Set13.1: any other number checks the last button
  ApplySettingsDigits(s, digits, ListNumbering::Device);
  EXPECT_EQ(s.ListIndex("ComboBox11"), kNoSelection);
  EXPECT_EQ(s.ListIndex("ComboBox12"), kNoSelection);
  EXPECT_EQ(s.ListIndex("ComboBox21"), 0);
  EXPECT_EQ(s.SliderPosition("TrackBar884"), 9);
  EXPECT_EQ(s.RadioNumber("Set13.1"), 2);
}

}  // namespace
}  // namespace qvx
