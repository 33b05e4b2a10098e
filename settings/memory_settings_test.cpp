#include "settings/memory_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  ExpectThresholds(s, 0, -50, -50);
  // Every other kind of value read back at its default: lists by index,
  // slider labels, radio groups by number, text fields.
  const std::pair<const char*, int> numbers[] = {
      {"ComboBox881", 1},   {"ComboBox882", 2},   {"ComboBox883", 3},
      {"ComboBox13136", 7}, {"ComboBox14144", 4}, {"Set13.1", 0},
      {"Set13.2", 0},       {"Set13.4", 1},       {"Set14.1", 1}};
  for (const auto& [name, number] : numbers) {
    const bool radio = FindSetting(name)->kind == SettingKind::Radio;
    EXPECT_EQ(radio ? s.RadioNumber(name) : s.ListIndex(name), number) << name;
  }
  const std::pair<const char*, const char*> labels[] = {
      {"Label58", "9"}, {"Label70", "1"}, {"Label84", "1"}};
  for (const auto& [label, text] : labels) EXPECT_EQ(s.LabelText(label), text) << label;
  const std::pair<const char*, const char*> texts[] = {
      {"Edit16", "+380501234567"}, {"Edit20", "+380501234567"}, {"Edit24", "+380501234567"},
      {"Edit25", "7391"},          {"Edit26", "000"},           {"Edit29", "333"},
      {"Edit30", "20198"}};
  for (const auto& [field, text] : texts) EXPECT_EQ(s.Text(field), text) << field;
}

// Writes of the two thresholds one after the other, each with the state it
// leaves: the high threshold, the low one, and the high one's minimum.
TEST(TemperatureCoupling, HighNeverBelowLow) {
  struct Step {
    const char* slider;
    int position;
    int high, low, minimum;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"low pushes high up, moves its minimum, and does not bring it down",
       {{"TrackBar1", 20, 20, 20, 20},
        {"TrackBar1", -10, 20, -10, -10},
        {"TrackBar2", -10, -10, -10, -10},
        {"TrackBar2", -11, -10, -10, -10}}},
      {"high below low is raised and stays when low drops",
       {{"TrackBar1", 40, 40, 40, 40},
        {"TrackBar2", 20, 40, 40, 40},
        {"TrackBar1", 10, 40, 10, 10}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemorySettings s;
    for (const Step& step : c.steps) {
      SCOPED_TRACE(std::string(step.slider) + " " + std::to_string(step.position));
      s.SetSliderPosition(step.slider, step.position);
      ExpectThresholds(s, step.high, step.low, step.minimum);
    }
  }
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
  const struct {
    const char* slider;
    int position;
    const char* label;
    const char* text;
  } cases[] = {{"TrackBar10102", 5, "Label70", "5"},
               {"TrackBar884", 0, "Label58", "0"},
               {"TrackBar12126", 10, "Label84", "9"}};  // clamped first
  for (const auto& c : cases) {
    MemorySettings s;
    s.SetSliderPosition(c.slider, c.position);
    EXPECT_EQ(s.LabelText(c.label), c.text) << c.slider;
  }
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
  const struct {
    const char* list;
    int written, read;
  } cases[] = {{"ComboBox12", 4, kNoSelection},  // zone 6 only
               {"ComboBox62", 5, 5},
               {"ComboBox11", 6, 6},  // group 7 is offered
               {"ComboBox11", 7, kNoSelection},
               {"ComboBox881", -1, kNoSelection}};
  for (const auto& c : cases) {
    MemorySettings s;
    s.SetListIndex(c.list, c.written);
    EXPECT_EQ(s.ListIndex(c.list), c.read) << c.list << " " << c.written;
  }
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
