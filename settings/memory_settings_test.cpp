#include "settings/memory_settings.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

struct Thresholds {
  int high, low;
  std::string label32, label43, label39;
};

Thresholds Read(const MemorySettings& s) {
  return {s.SliderPosition("TrackBar2"), s.SliderPosition("TrackBar1"), s.LabelText("Label32"),
          s.LabelText("Label43"), s.LabelText("Label39")};
}

void ExpectThresholds(const MemorySettings& s, int high, int low, int minimum) {
  const Thresholds t = Read(s);
  EXPECT_EQ(t.high, high);
  EXPECT_EQ(t.low, low);
  EXPECT_EQ(t.label32, std::to_string(high));
  EXPECT_EQ(t.label43, std::to_string(low));
  EXPECT_EQ(t.label39, std::to_string(minimum));
  EXPECT_EQ(s.SliderMinimum("TrackBar2"), minimum);
}

TEST(MemorySettings, StartsAtTheDefaults) {
  MemorySettings s;
  for (int zone = 1; zone <= 6; ++zone) {
    EXPECT_EQ(s.ListIndex(ZoneControlName(zone, 1)), 0);
    EXPECT_EQ(s.ListIndex(ZoneControlName(zone, 2)), 1);
    EXPECT_EQ(s.ListIndex(ZoneControlName(zone, 3)), 1);
    EXPECT_EQ(s.ListIndex(ZoneControlName(zone, 4)), 0);
  }
  EXPECT_EQ(s.ListIndex("ComboBox881"), 1);
  EXPECT_EQ(s.ListIndex("ComboBox882"), 2);
  EXPECT_EQ(s.ListIndex("ComboBox883"), 3);
  EXPECT_EQ(s.ListIndex("ComboBox13136"), 7);
  EXPECT_EQ(s.ListIndex("ComboBox14144"), 4);
  ExpectThresholds(s, 0, -50, -50);
  EXPECT_EQ(s.LabelText("Label58"), "9");
  EXPECT_EQ(s.LabelText("Label70"), "1");
  EXPECT_EQ(s.LabelText("Label84"), "1");
  EXPECT_EQ(s.RadioNumber("Set13.1"), 0);
  EXPECT_EQ(s.RadioNumber("Set13.2"), 0);
  EXPECT_EQ(s.RadioNumber("Set13.4"), 1);
  EXPECT_EQ(s.RadioNumber("Set14.1"), 1);
  for (const char* field : {"Edit16", "Edit20", "Edit24"})
    EXPECT_EQ(s.Text(field), "+380501234567");
  EXPECT_EQ(s.Text("Edit25"), "7391");
  EXPECT_EQ(s.Text("Edit26"), "000");
  EXPECT_EQ(s.Text("Edit29"), "333");
  EXPECT_EQ(s.Text("Edit30"), "20198");
}

TEST(TemperatureCoupling, LowThresholdPushesHighUpAndMovesItsMinimum) {
  MemorySettings s;
  s.SetSliderPosition("TrackBar1", 20);
  ExpectThresholds(s, 20, 20, 20);

  s.SetSliderPosition("TrackBar1", -10);  // does not bring the high threshold down
  ExpectThresholds(s, 20, -10, -10);

  s.SetSliderPosition("TrackBar2", -10);
  ExpectThresholds(s, -10, -10, -10);
  s.SetSliderPosition("TrackBar2", -11);  // not below the low threshold
  ExpectThresholds(s, -10, -10, -10);
}

TEST(TemperatureCoupling, HighBelowLowIsRaisedAndStaysWhenLowDrops) {
  MemorySettings s;
  s.SetSliderPosition("TrackBar1", 40);
  s.SetSliderPosition("TrackBar2", 20);
  ExpectThresholds(s, 40, 40, 40);
  s.SetSliderPosition("TrackBar1", 10);
  ExpectThresholds(s, 40, 10, 10);
}

TEST(Sliders, PositionsAreClampedIntoTheirRanges) {
  struct Case {
    const char* slider;
    int written, expected;
  };
  const Case cases[] = {
      {"TrackBar884", -3, 0},   {"TrackBar884", 12, 9},  {"TrackBar10102", 0, 1},
      {"TrackBar10102", 99, 9}, {"TrackBar12126", 0, 1}, {"TrackBar1", -99, -50},
      {"TrackBar1", 120, 99},   {"TrackBar2", 500, 99},  {"TrackBar2", -500, -50}};
  for (const Case& c : cases) {
    MemorySettings s;
    s.SetSliderPosition(c.slider, c.written);
    EXPECT_EQ(s.SliderPosition(c.slider), c.expected) << c.slider << " " << c.written;
  }
}

TEST(Sliders, ValueLabelFollowsAWriteThatChangesThePosition) {
  MemorySettings s;
  s.SetSliderPosition("TrackBar10102", 5);
  EXPECT_EQ(s.LabelText("Label70"), "5");
  s.SetSliderPosition("TrackBar884", 0);
  EXPECT_EQ(s.LabelText("Label58"), "0");
  s.SetSliderPosition("TrackBar12126", 10);
  EXPECT_EQ(s.LabelText("Label84"), "9");
}

TEST(Radios, ZeroOneOrAnyOtherNumber) {
  struct Case {
    const char* group;
    int written, read;
  };
  const Case cases[] = {{"Set13.1", 0, 0}, {"Set13.1", 1, 1},  {"Set13.1", 2, 2},
                        {"Set13.1", 7, 2}, {"Set13.1", -1, 2}, {"Set13.2", 5, 1},
                        {"Set13.4", 0, 0}, {"Set14.1", 0, 0},  {"Set14.1", 7, 1}};
  for (const Case& c : cases) {
    MemorySettings s;
    s.SetRadioNumber(c.group, c.written);
    EXPECT_EQ(s.RadioNumber(c.group), c.read) << c.group << " " << c.written;
  }
}

TEST(Lists, IndexOutsideTheOptionsLeavesNoEntrySelected) {
  MemorySettings s;
  s.SetListIndex("ComboBox12", 4);  // zone 6 only
  EXPECT_EQ(s.ListIndex("ComboBox12"), kNoSelection);
  s.SetListIndex("ComboBox62", 5);
  EXPECT_EQ(s.ListIndex("ComboBox62"), 5);
  s.SetListIndex("ComboBox11", 6);  // group 7 is offered
  EXPECT_EQ(s.ListIndex("ComboBox11"), 6);
  s.SetListIndex("ComboBox11", 7);
  EXPECT_EQ(s.ListIndex("ComboBox11"), kNoSelection);
  s.SetListIndex("ComboBox881", -1);
  EXPECT_EQ(s.ListIndex("ComboBox881"), kNoSelection);
}

TEST(TextFields, TakenAsTheyAre) {
  MemorySettings s;
  s.SetText("Edit16", " (050) 12-34 ");
  EXPECT_EQ(s.Text("Edit16"), " (050) 12-34 ");
  s.SetText("Edit30", "");
  EXPECT_EQ(s.Text("Edit30"), "");
}

TEST(MemorySettings, UnknownOrMismatchedNamesAreRefused) {
  MemorySettings s;
  EXPECT_THROW(s.ListIndex("ComboBox99"), std::invalid_argument);
  EXPECT_THROW(s.SetSliderPosition("ComboBox11", 1), std::invalid_argument);
  EXPECT_THROW(s.Text("TrackBar2"), std::invalid_argument);
}

}  // namespace
}  // namespace qvx
