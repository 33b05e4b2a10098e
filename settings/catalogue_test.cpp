#include "settings/catalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace qvx {
namespace {

TEST(Catalogue, OrderIsGroupThenItemWithTextFieldsLast) {
  const auto& all = Catalogue();
  ASSERT_EQ(all.size(), 78u + 15u);  // grouped settings, then the text fields
  std::set<std::string_view> names;
  int last_group = 1, last_item = 0;
  for (const SettingInfo& s : all) {
    EXPECT_TRUE(names.insert(s.name).second) << "duplicate " << s.name;
    if (s.group == 0) continue;
    EXPECT_TRUE(s.group > last_group || (s.group == last_group && s.item == last_item + 1))
        << s.name;
    last_group = s.group;
    last_item = s.item;
  }
  EXPECT_EQ(all.front().name, "ComboBox11");
  EXPECT_EQ(all[6].name, "ComboBox12");
  EXPECT_EQ(all.back().name, "Edit30");
}

TEST(Catalogue, EveryDefaultIsAValidValue) {
  for (const SettingInfo& s : Catalogue()) {
    switch (s.kind) {
      case SettingKind::List:
        EXPECT_GE(s.default_value, 0) << s.name;
        EXPECT_LT(s.default_value, static_cast<int>(s.options.size())) << s.name;
        EXPECT_LE(s.options.size(), 10u) << s.name;  // one digit per index
        break;
      case SettingKind::Slider:
        EXPECT_GE(s.default_value, s.minimum) << s.name;
        EXPECT_LE(s.default_value, s.maximum) << s.name;
        EXPECT_FALSE(s.value_label.empty()) << s.name;
        break;
      case SettingKind::Radio:
        EXPECT_LT(s.default_value, static_cast<int>(s.buttons.size())) << s.name;
        break;
      case SettingKind::Text:
        EXPECT_FALSE(s.default_text.empty()) << s.name;
        break;
    }
  }
}

TEST(Catalogue, OptionListSizes) {
  const std::pair<std::string_view, size_t> sizes[] = {
      {"ComboBox11", 7},    {"ComboBox12", 4},    {"ComboBox62", 6},    {"ComboBox13", 10},
      {"ComboBox551", 9},   {"ComboBox556", 6},   {"ComboBox775", 4},   {"ComboBox882", 3},
      {"ComboBox883", 4},   {"ComboBox992", 3},   {"ComboBox10106", 9}, {"ComboBox11116", 9},
      {"ComboBox12124", 3}, {"ComboBox13133", 7}, {"ComboBox13136", 9}, {"ComboBox14144", 5}};
  for (const auto& [name, size] : sizes) {
    const SettingInfo* setting = FindSetting(name);
    ASSERT_NE(setting, nullptr) << name;
    EXPECT_EQ(setting->options.size(), size) << name;
  }
}

TEST(Catalogue, ExactTextsWithTheirBlanksAndLatinLetters) {
  enum class Part { Option, Caption, Button, Hint };
  const struct {
    std::string_view name;
    Part part;
    std::size_t index;  // of the option or button
    std::string_view text;
  } cases[] = {
      {"ComboBox62", Part::Option, 1, "1 - Пост./снят. с охраны кнопкой "},
      {"ComboBox62", Part::Option, 4, "4 - Тревожная кнопка  - приоритетный режим"},
      {"ComboBox551", Part::Option, 1, "1 - Cирену + команды"},  // Latin C
      {"ComboBox553", Part::Option, 1, "1 - Вкл если T>Tmax + команды"},
      {"ComboBox10101", Part::Option, 1, "1 - Звонок  1-му абоненту"},
      {"ComboBox12124", Part::Option, 0, "0 - Снять трубку, оставаться на линии "},
      {"ComboBox11114", Part::Option, 8, "8 - Тревога! Зона 4"},
      {"ComboBox13136", Part::Option, 8, "8 - индикация состояния 7 группы"},
      {"Set13.1", Part::Caption, 0, "Изменение порядка дозвона при постановке/снятии с охраны  "},
      {"Set13.2", Part::Button, 0, "нет изменений, дозвон по списку Set10 пункт "},
      {"ComboBox10105", Part::Caption, 0, "Оповещение голосом при  разяде АКБ, нал./проп. 220"},
      {"ComboBox13133", Part::Hint, 0, "только для версии PRO "},
      {"ComboBox13135", Part::Hint, 0, "только для версии PRO"},
      {"TrackBar1", Part::Caption, 0, "Порог низкихтемператур:"},
  };
  for (const auto& c : cases) {
    const SettingInfo* setting = FindSetting(c.name);
    ASSERT_NE(setting, nullptr) << c.name;
    switch (c.part) {
      case Part::Option:
        ASSERT_LT(c.index, setting->options.size()) << c.name;
        EXPECT_EQ(setting->options[c.index], c.text) << c.name;
        break;
      case Part::Caption:
        EXPECT_EQ(setting->caption, c.text) << c.name;
        break;
      case Part::Button:
        ASSERT_LT(c.index, setting->buttons.size()) << c.name;
        EXPECT_EQ(setting->buttons[c.index].caption, c.text) << c.name;
        break;
      case Part::Hint:
        EXPECT_EQ(setting->hint, c.text) << c.name;
        break;
    }
  }
  EXPECT_EQ(TabCaptions().size(), 11u);
  EXPECT_EQ(TabCaptions()[5], "SMS, DTMF,  i-Button");
}

TEST(Catalogue, DeviceCountsFromOneForTheGroupListsAndTheObjectName) {
  std::set<std::string_view> counted;
  for (const SettingInfo& s : Catalogue())
    if (s.device_counts_from_one) counted.insert(s.name);
  EXPECT_EQ(counted,
            (std::set<std::string_view>{"ComboBox11", "ComboBox21", "ComboBox31", "ComboBox41",
                                        "ComboBox51", "ComboBox61", "ComboBox10106"}));
}

TEST(Catalogue, ReferencesAndFieldNamesForMessages) {
  const std::pair<std::string_view, std::string_view> references[] = {
      {"ComboBox553", "Set05 пункт 3"},
      {"ComboBox10104", "Set10 пункт 4"},
      {"ComboBox41", "Set01 пункт 4"}};
  for (const auto& [name, reference] : references) {
    const SettingInfo* setting = FindSetting(name);
    ASSERT_NE(setting, nullptr) << name;
    EXPECT_EQ(SettingReference(*setting), reference);
  }
  const std::pair<std::string_view, std::string_view> field_names[] = {
      {"Edit16", "Abon01"},
      {"Edit25", "Пароль/номер прибора"},
      {"Edit28", "IP"},
      {"Edit30", "Порт"}};
  for (const auto& [name, field_name] : field_names) {
    const SettingInfo* setting = FindSetting(name);
    ASSERT_NE(setting, nullptr) << name;
    EXPECT_EQ(TextFieldName(*setting), field_name);
  }
  EXPECT_EQ(ZoneControlName(3, 2), "ComboBox32");
}

}  // namespace
}  // namespace qvx
