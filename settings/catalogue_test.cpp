#include "settings/catalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace qvx {
namespace {

const SettingInfo& Get(std::string_view name) {
  const SettingInfo* setting = FindSetting(name);
  EXPECT_NE(setting, nullptr) << name;
  return *setting;
}

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
  for (const auto& [name, size] : sizes) EXPECT_EQ(Get(name).options.size(), size) << name;
}

TEST(Catalogue, ExactTextsWithTheirBlanksAndLatinLetters) {
  EXPECT_EQ(Get("ComboBox62").options[1], "1 - Пост./снят. с охраны кнопкой ");
  EXPECT_EQ(Get("ComboBox62").options[4], "4 - Тревожная кнопка  - приоритетный режим");
  EXPECT_EQ(Get("ComboBox551").options[1].substr(0, 5), "1 - C");  // Latin C
  EXPECT_EQ(Get("ComboBox553").options[1], "1 - Вкл если T>Tmax + команды");
  EXPECT_EQ(Get("ComboBox10101").options[1], "1 - Звонок  1-му абоненту");
  EXPECT_EQ(Get("ComboBox12124").options[0], "0 - Снять трубку, оставаться на линии ");
  EXPECT_EQ(Get("ComboBox11114").options[8], "8 - Тревога! Зона 4");
  EXPECT_EQ(Get("ComboBox13136").options[8], "8 - индикация состояния 7 группы");
  EXPECT_EQ(Get("Set13.1").caption, "Изменение порядка дозвона при постановке/снятии с охраны  ");
  EXPECT_EQ(Get("Set13.2").buttons[0].caption, "нет изменений, дозвон по списку Set10 пункт ");
  EXPECT_EQ(Get("ComboBox10105").caption, "Оповещение голосом при  разяде АКБ, нал./проп. 220");
  EXPECT_EQ(Get("ComboBox13133").hint, "только для версии PRO ");
  EXPECT_EQ(Get("ComboBox13135").hint, "только для версии PRO");
  EXPECT_EQ(Get("TrackBar1").caption, "Порог низкихтемператур:");
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
  EXPECT_EQ(SettingReference(Get("ComboBox553")), "Set05 пункт 3");
  EXPECT_EQ(SettingReference(Get("ComboBox10104")), "Set10 пункт 4");
  EXPECT_EQ(SettingReference(Get("ComboBox41")), "Set01 пункт 4");
  EXPECT_EQ(TextFieldName(Get("Edit16")), "Abon01");
  EXPECT_EQ(TextFieldName(Get("Edit25")), "Пароль/номер прибора");
  EXPECT_EQ(TextFieldName(Get("Edit28")), "IP");
  EXPECT_EQ(TextFieldName(Get("Edit30")), "Порт");
  EXPECT_EQ(ZoneControlName(3, 2), "ComboBox32");
}

}  // namespace
}  // namespace qvx
