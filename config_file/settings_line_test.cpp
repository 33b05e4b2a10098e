#include "config_file/settings_line.h"

#include <gtest/gtest.h>

#include <random>

#include "settings/memory_settings.h"
#include "tests/support/changed_settings.h"
#include "tests/support/settings_snapshot.h"

namespace qvx {
namespace {

const std::string kDefaultCodes =
    "000000:111111:111111:000000:000000:100050:111111:123911:101111:111110:000000:111111:001107:"
    "110400:000000:";
const std::string kDefaultLine = kDefaultCodes +
                                 "+380501234567:+380501234567:+380501234567:+380501234567:"
                                 "+380501234567:+380501234567:+380501234567:+380501234567:"
                                 "+380501234567:7391:000:111:222:333:20198:#";

// The default line with one code character replaced (field and place from 1).
std::string WithCode(int field, int place, char c) {
  std::string line = kDefaultLine;
  line[(field - 1) * 7 + (place - 1)] = c;
  return line;
}

TEST(SettingsLine, DefaultSettingsGiveTheKnownLine) {
  const BuiltSettingsLine built = BuildSettingsLine(MemorySettings());
  EXPECT_EQ(built.refusal, "");
  EXPECT_EQ(built.line, kDefaultLine);
  EXPECT_EQ(built.line.size(), 259u);
}

TEST(SettingsLine, OpeningTheDefaultLineChangesNothing) {
  MemorySettings settings;
  ASSERT_TRUE(ApplySettingsLine(settings, kDefaultLine));
  EXPECT_EQ(Snapshot(settings), Snapshot(MemorySettings()));
  EXPECT_EQ(settings.LabelText("Label39"), "-50");
}

// Random settings of every kind, texts with Cyrillic, blanks and quotes.
MemorySettings RandomSettings(std::mt19937& random) {
  static const std::vector<std::string> pieces = {"0", "9", "+", " ", "\"",  "'", "Ж",
                                                  "ё", "Ї", "№", "€", "abc", "—", ","};
  MemorySettings settings;
  for (const SettingInfo& setting : Catalogue()) {
    auto pick = [&](int low, int high) {
      return std::uniform_int_distribution<int>(low, high)(random);
    };
    switch (setting.kind) {
      case SettingKind::List:
        settings.SetListIndex(setting.name, pick(0, static_cast<int>(setting.options.size()) - 1));
        break;
      case SettingKind::Slider:
        settings.SetSliderPosition(setting.name, pick(setting.minimum, setting.maximum));
        break;
      case SettingKind::Radio:
        settings.SetRadioNumber(setting.name,
                                pick(0, static_cast<int>(setting.buttons.size()) - 1));
        break;
      case SettingKind::Text: {
        std::string text;
        for (int n = pick(0, 8); n > 0; --n)
          text += pieces[pick(0, static_cast<int>(pieces.size()) - 1)];
        settings.SetText(setting.name, text);
        break;
      }
    }
  }
  return settings;
}

TEST(SettingsLine, RandomSettingsSurviveSaveAndOpen) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 200; ++round) {
    const MemorySettings saved = RandomSettings(random);
    const BuiltSettingsLine built = BuildSettingsLine(saved);
    ASSERT_EQ(built.refusal, "");
    MemorySettings opened;
    ASSERT_TRUE(ApplySettingsLine(opened, built.line));
    ASSERT_EQ(Snapshot(opened), Snapshot(saved)) << built.line;
  }
}

TEST(SettingsLine, CyrillicTextIsWrittenInCodePage1251) {
  MemorySettings settings;
  settings.SetText("Edit25", "Пароль№1");
  const BuiltSettingsLine built = BuildSettingsLine(settings);
  EXPECT_NE(built.line.find(":\xCF\xE0\xF0\xEE\xEB\xFC\xB9"
                            "1:"),
            std::string::npos);
  MemorySettings opened;
  ASSERT_TRUE(ApplySettingsLine(opened, built.line));
  EXPECT_EQ(opened.Text("Edit25"), "Пароль№1");
}

// Each refused line fails the check CheckSettingsLine names, and changes
// nothing.
TEST(SettingsLine, RefusedLinesNameTheirCheckAndChangeNothing) {
  const std::string twenty_nine_pieces = kDefaultCodes + std::string(13, ':') + "#";
  const std::string short_code = "000000:111111:11111:" + kDefaultLine.substr(20);
  const std::string short_filler = kDefaultLine.substr(0, 98) + "00000" + kDefaultLine.substr(104);
  const struct {
    const char* name;
    std::string line;
    LineFault fault;
    std::size_t field;
  } cases[] = {
      {"empty", "", LineFault::TooShort, 0},
      {"27 characters", std::string(25, '0') + ":#", LineFault::TooShort, 0},
      {"28 characters, one field", std::string(26, '0') + ":#", LineFault::FewFields, 0},
      {"no colon", std::string(40, '0') + "#", LineFault::NoEndMark, 0},
      {"no hash", kDefaultLine.substr(0, kDefaultLine.size() - 1), LineFault::NoEndMark, 0},
      {"starts with :#", ":#" + kDefaultLine, LineFault::NoEndMark, 0},
      {"29 pieces", twenty_nine_pieces, LineFault::FewFields, 0},
      {"short code field", short_code, LineFault::ShortCodeField, 2},
      {"short filler field", short_filler, LineFault::ShortCodeField, 14},
      {"hash inside the codes", "000000:111#11:" + kDefaultLine.substr(14), LineFault::FewFields,
       0},
      {"empty first line", "\r\n" + kDefaultLine, LineFault::TooShort, 0},
      // It would open, but a save could not write it back.
      {"text field longer than a save writes",
       kDefaultCodes + std::string(kMaxTextFieldBytes + 1, '1') + std::string(14, ':') + "#",
       LineFault::LongTextField, 15},
  };
  for (const auto& c : cases) {
    const LineCheck check = CheckSettingsLine(c.line);
    EXPECT_EQ(check.fault, c.fault) << c.name;
    EXPECT_EQ(check.field, c.field) << c.name;
    MemorySettings settings = ChangedSettings();
    const std::vector<std::string> before = Snapshot(settings);
    EXPECT_FALSE(ApplySettingsLine(settings, c.line)) << c.name;
    EXPECT_EQ(Snapshot(settings), before) << c.name;
  }
  EXPECT_EQ(CheckSettingsLine(kDefaultLine).fault, LineFault::None);
}

TEST(SettingsLine, ThirtyPiecesAreEnough) {
  MemorySettings settings = ChangedSettings();
  ASSERT_TRUE(ApplySettingsLine(settings, kDefaultCodes + std::string(14, ':') + "#"));
  EXPECT_EQ(settings.Text("Edit16"), "");
  EXPECT_EQ(settings.Text("Edit30"), "");
}

TEST(SettingsLine, OnlyTheFirstLineCounts) {
  const std::string other = WithCode(1, 1, '5');
  for (const std::string& end : std::vector<std::string>{"\r\n", "\n", "\r", {'\0'}}) {
    MemorySettings settings;
    ASSERT_TRUE(ApplySettingsLine(settings, kDefaultLine + end + other));
    EXPECT_EQ(settings.ListIndex("ComboBox11"), 0);
  }
}

TEST(SettingsLine, CodeCharactersAreTakenByPlace) {
  const struct {
    const char* name;
    std::string line;
    std::string setting;
    int expected;
  } cases[] = {
      {"index outside a 7-entry list", WithCode(1, 1, '7'), "ComboBox11", kNoSelection},
      {"non-digit in a list", WithCode(13, 3, 'x'), "ComboBox13133", kNoSelection},
      {"letter in a slider", WithCode(8, 4, 'A'), "TrackBar884", 9},
      {"byte above 127 is negative", WithCode(8, 4, '\xC0'), "TrackBar884", 0},
      {"slider below its range", WithCode(10, 2, '0'), "TrackBar10102", 1},
      {"radio of three, 7", WithCode(13, 1, '7'), "Set13.1", 2},
      {"radio of three, 1", WithCode(13, 1, '1'), "Set13.1", 1},
      {"storage choice, 7", WithCode(14, 1, '7'), "Set14.1", 1},
      {"storage choice, 0", WithCode(14, 1, '0'), "Set14.1", 0},
      {"radio of two, 0", WithCode(13, 4, '0'), "Set13.4", 0},
  };
  for (const auto& c : cases) {
    MemorySettings settings;
    ASSERT_TRUE(ApplySettingsLine(settings, c.line)) << c.name;
    EXPECT_EQ(ReadValue(settings, *FindSetting(c.setting)), c.expected) << c.name;
  }
  // The other settings of a line with an unselectable index are still set.
  MemorySettings settings;
  ASSERT_TRUE(ApplySettingsLine(settings, WithCode(1, 1, '7').replace(7, 1, "3")));
  EXPECT_EQ(settings.ListIndex("ComboBox12"), 3);
  EXPECT_EQ(settings.Text("Edit30"), "20198");
}

TEST(SettingsLine, ThresholdSignDigitIsPositiveOnlyWhenOne) {
  // TrackBar1 places: field 6, sign at 2, tens at 5, units at 6.
  const struct {
    std::string sign_tens_units;
    int low;
  } cases[] = {{"159", 59}, {"099", -50}, {"x10", -10}, {"210", -10}, {"100", 0}, {"000", 0}};
  for (const auto& c : cases) {
    std::string line = kDefaultLine;
    line[36] = c.sign_tens_units[0];
    line[39] = c.sign_tens_units[1];
    line[40] = c.sign_tens_units[2];
    MemorySettings settings;
    ASSERT_TRUE(ApplySettingsLine(settings, line)) << c.sign_tens_units;
    EXPECT_EQ(settings.SliderPosition("TrackBar1"), c.low) << c.sign_tens_units;
  }
}

TEST(SettingsLine, HighThresholdIsSetBeforeTheLowOne) {
  // File: high 10, low 20. Shown before: low 40 (so high at least 40).
  std::string line = kDefaultLine;
  line.replace(35, 6, "111020");
  MemorySettings raised;
  raised.SetSliderPosition("TrackBar1", 40);
  ASSERT_TRUE(ApplySettingsLine(raised, line));
  EXPECT_EQ(raised.SliderPosition("TrackBar2"), 40);
  EXPECT_EQ(raised.SliderPosition("TrackBar1"), 20);
  EXPECT_EQ(raised.LabelText("Label39"), "20");

  MemorySettings defaults;  // low -50: high takes 10, then the low 20 lifts it
  ASSERT_TRUE(ApplySettingsLine(defaults, line));
  EXPECT_EQ(defaults.SliderPosition("TrackBar2"), 20);
  EXPECT_EQ(defaults.SliderPosition("TrackBar1"), 20);
}

TEST(SettingsLine, FillersAreNotRead) {
  std::string line = kDefaultLine;
  line.replace(95, 2, "x\xC0");  // field 14, places 5 and 6
  line.replace(98, 6, "abcdef");
  MemorySettings settings;
  ASSERT_TRUE(ApplySettingsLine(settings, line));
  EXPECT_EQ(Snapshot(settings), Snapshot(MemorySettings()));
}

TEST(SettingsLine, TextFieldsAreTakenAsTheyAre) {
  const std::string texts =
      "::  a b :\"quoted:'x::\xC6\xE8\xE2\xEE\xE9:\x98:\t:" + std::string(4000, '7') +
      ":80:1:2:3:#tail";
  MemorySettings settings = ChangedSettings();
  ASSERT_TRUE(ApplySettingsLine(settings, kDefaultCodes + texts));
  const std::vector<std::string> expected = {
      "",   "",  "  a b ", "\"quoted", "'x", "", "Живой", "\xC2\x98", "\t", std::string(4000, '7'),
      "80", "1", "2",      "3",        ""};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(settings.Text("Edit" + std::to_string(16 + i)), expected[i]) << i;
  }
}

TEST(SettingsLine, ThirtyPiecesWithoutTheLastColonAreAccepted) {
  std::string line = kDefaultLine;
  line.insert(line.size() - 2, "#");  // "...:20198#:#"
  MemorySettings settings = ChangedSettings();
  ASSERT_TRUE(ApplySettingsLine(settings, line));
  EXPECT_EQ(settings.Text("Edit30"), "20198");
}

TEST(SettingsLine, UnsaveableSettingsAreRefusedByName) {
  const struct {
    const char* setting;
    std::string text;  // for text fields
    int index;         // for lists
    const char* refusal;
  } cases[] = {
      {"ComboBox553", "", 99, "Не выбрано значение параметра Set05 пункт 3"},
      {"ComboBox21", "", -1, "Не выбрано значение параметра Set01 пункт 2"},
      {"ComboBox14144", "", 5, "Не выбрано значение параметра Set14 пункт 4"},
      {"Edit16", "+380:1", 0, "Недопустимый символ в поле Abon01"},
      {"Edit25", "12#4", 0, "Недопустимый символ в поле Пароль/номер прибора"},
      {"Edit27", "1\r", 0, "Недопустимый символ в поле IP"},
      {"Edit29", "\n", 0, "Недопустимый символ в поле IP"},
      {"Edit30",
       std::string("20\0"
                   "198",
                   6),
       0, "Недопустимый символ в поле Порт"},
      {"Edit24", "Müller", 0, "Недопустимый символ в поле Abon09"},
      {"Edit18", "\xFF", 0, "Недопустимый символ в поле Abon03"},
      {"Edit17", std::string(kMaxTextFieldBytes + 1, '1'), 0,
       "Слишком длинный текст в поле Abon02"},
  };
  for (const auto& c : cases) {
    MemorySettings settings;
    if (FindSetting(c.setting)->kind == SettingKind::Text) {
      settings.SetText(c.setting, c.text);
    } else {
      settings.SetListIndex(c.setting, c.index);
    }
    const BuiltSettingsLine built = BuildSettingsLine(settings);
    EXPECT_EQ(built.refusal, c.refusal) << c.setting;
    EXPECT_EQ(built.line, "") << c.setting;
  }
}

TEST(SettingsLine, FirstRefusalInCatalogueOrderIsReported) {
  MemorySettings settings;
  settings.SetText("Edit16", ":");
  settings.SetListIndex("ComboBox14142", 10);
  settings.SetListIndex("ComboBox771", 10);
  EXPECT_EQ(BuildSettingsLine(settings).refusal, "Не выбрано значение параметра Set07 пункт 1");
}

std::string Repeat(const std::string& text, std::size_t times) {
  std::string repeated;
  while (times-- > 0) repeated += text;
  return repeated;
}

// The limit counts bytes on disk: a Cyrillic letter is one, though two in UTF-8.
TEST(SettingsLine, LongestAllowedTextIsSaved) {
  MemorySettings settings;
  settings.SetText(
      "Edit17", std::string(kMaxTextFieldBytes / 2, '\x01') + Repeat("Ж", kMaxTextFieldBytes / 2));
  const BuiltSettingsLine built = BuildSettingsLine(settings);
  ASSERT_EQ(built.refusal, "");
  MemorySettings opened;
  ASSERT_TRUE(ApplySettingsLine(opened, built.line));
  EXPECT_EQ(opened.Text("Edit17"), settings.Text("Edit17"));
}

}  // namespace
}  // namespace qvx
