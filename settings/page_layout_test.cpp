#include "settings/page_layout.h"

#include <gtest/gtest.h>

#include <map>

namespace qvx {
namespace {

// Every row of every tab with the tab and box it stands in.
struct PlacedRow {
  const TabLayout* tab;
  const LayoutBox* box;
  const LayoutRow* row;
};

std::vector<PlacedRow> AllRows() {
  std::vector<PlacedRow> rows;
  for (const TabLayout& tab : TabLayouts())
    for (const LayoutBox& box : tab.boxes)
      for (const LayoutRow& row : box.rows) rows.push_back({&tab, &box, &row});
  return rows;
}

TEST(PageLayout, EverySettingStandsInOneRowOnItsOwnTab) {
  std::map<std::string_view, int> placed;
  for (const PlacedRow& p : AllRows()) {
    for (std::string_view name : p.row->settings) {
      const SettingInfo* setting = FindSetting(name);
      ASSERT_NE(setting, nullptr) << name;
      EXPECT_EQ(setting->tab, p.tab->caption) << name;
      ++placed[name];
    }
  }
  for (const SettingInfo& setting : Catalogue()) EXPECT_EQ(placed[setting.name], 1) << setting.name;
  EXPECT_EQ(placed.size(), Catalogue().size());
}

TEST(PageLayout, TabsInOrderWithTheirKinds) {
  const auto& tabs = TabLayouts();
  ASSERT_EQ(tabs.size(), TabCaptions().size());
  for (std::size_t i = 0; i < tabs.size(); ++i) EXPECT_EQ(tabs[i].caption, TabCaptions()[i]);
  EXPECT_EQ(tabs[0].kind, PageKind::Greeting);
  EXPECT_TRUE(tabs[0].boxes.empty());
  EXPECT_EQ(tabs[1].kind, PageKind::ZoneTable);
  for (std::size_t i = 2; i < 10; ++i) EXPECT_EQ(tabs[i].kind, PageKind::GroupBoxes) << i;
  EXPECT_EQ(tabs[10].kind, PageKind::TextFields);
}

TEST(PageLayout, ZoneTableHasARowPerZoneAndAColumnPerGroup) {
  const TabLayout& zones = TabLayouts()[1];
  ASSERT_EQ(zones.boxes.size(), 1u);
  EXPECT_TRUE(zones.boxes[0].title.empty());  // no frame around the table
  ASSERT_EQ(zones.columns.size(), 4u);
  EXPECT_EQ(zones.columns[0].label, "Set02");
  EXPECT_EQ(zones.columns[0].heading, "Режим работы шлейфов");
  const auto& rows = zones.boxes[0].rows;
  ASSERT_EQ(rows.size(), 6u);
  for (int zone = 1; zone <= 6; ++zone) {
    const LayoutRow& row = rows[static_cast<std::size_t>(zone - 1)];
    EXPECT_EQ(row.caption, "Зона " + std::to_string(zone));
    ASSERT_EQ(row.settings.size(), zones.columns.size());
    for (std::size_t c = 0; c < zones.columns.size(); ++c) {
      EXPECT_EQ(row.settings[c], ZoneControlName(zone, zones.columns[c].group));
      EXPECT_EQ(zones.columns[c].label, GroupName(zones.columns[c].group));
    }
  }
}

TEST(PageLayout, GroupPagesHaveOneBoxPerGroupTitledByIt) {
  for (const TabLayout& tab : TabLayouts()) {
    if (tab.kind != PageKind::GroupBoxes) continue;
    ASSERT_FALSE(tab.boxes.empty()) << tab.caption;
    for (const LayoutBox& box : tab.boxes)
      for (const LayoutRow& row : box.rows)
        for (std::string_view name : row.settings)
          EXPECT_EQ(GroupName(FindSetting(name)->group), box.title) << name;
  }
  EXPECT_EQ(TabLayouts()[2].boxes.size(), 2u);  // Set05 and Set06
  EXPECT_EQ(TabLayouts()[6].boxes.size(), 2u);  // Set10 and Set11
}

// The rows that are not one caption and one control, and the captions rows
// take from their settings.
TEST(PageLayout, HeadingsBoxesAndSharedRows) {
  std::vector<std::string_view> headings, boxed;
  for (const PlacedRow& p : AllRows()) {
    const LayoutRow& row = *p.row;
    switch (row.kind) {
      case RowKind::Heading:
        EXPECT_TRUE(row.settings.empty());
        headings.push_back(row.caption);
        break;
      case RowKind::Box:
        ASSERT_EQ(row.settings.size(), 1u);
        EXPECT_EQ(row.caption, FindSetting(row.settings[0])->caption);
        EXPECT_EQ(row.hint, FindSetting(row.settings[0])->hint);
        boxed.push_back(row.settings[0]);
        break;
      case RowKind::Field:
        ASSERT_FALSE(row.settings.empty());
        if (p.tab->kind != PageKind::ZoneTable) {
          for (std::string_view name : row.settings)
            EXPECT_EQ(row.caption, FindSetting(name)->caption) << name;
        }
        break;
    }
  }
  EXPECT_EQ(headings, std::vector<std::string_view>{"Оставаться на линии после оповещения:  "});
  const std::vector<std::string_view> expected_boxed = {
      "Set13.1",       "Set13.2",       "ComboBox13133", "Set13.4",       "ComboBox13135",
      "ComboBox13136", "ComboBox14142", "ComboBox14143", "ComboBox14144", "Set14.1"};
  EXPECT_EQ(boxed, expected_boxed);
  // The heading stands right above the row it heads.
  const auto& voice = TabLayouts()[7].boxes.at(0).rows;
  ASSERT_GE(voice.size(), 2u);
  EXPECT_EQ(voice[0].kind, RowKind::Heading);
  EXPECT_EQ(voice[1].settings, std::vector<std::string_view>{"ComboBox12121"});
}

TEST(PageLayout, TextFieldPageInKeyboardOrderInTwoColumns) {
  const TabLayout& tab = TabLayouts()[10];
  ASSERT_EQ(tab.boxes.size(), 1u);
  EXPECT_EQ(tab.boxes[0].title, "Список абонентов, пароль, порт, IP");
  std::vector<std::string_view> order;
  std::vector<int> columns;
  for (const LayoutRow& row : tab.boxes[0].rows) {
    for (std::string_view name : row.settings) order.push_back(name);
    columns.push_back(row.column);
  }
  const std::vector<std::string_view> expected = {
      "Edit16", "Edit17", "Edit18", "Edit19", "Edit20", "Edit21", "Edit22", "Edit23",
      "Edit24", "Edit25", "Edit26", "Edit27", "Edit28", "Edit29", "Edit30", "Set14.1"};
  EXPECT_EQ(order, expected);
  // Nine subscribers left; password, the address row, port and storage right.
  EXPECT_EQ(columns, (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}));
  const LayoutRow& address = tab.boxes[0].rows[10];
  EXPECT_EQ(address.caption, "IP: ");
  EXPECT_EQ(address.settings,
            (std::vector<std::string_view>{"Edit26", "Edit27", "Edit28", "Edit29"}));
  EXPECT_EQ(tab.boxes[0].rows.back().kind, RowKind::Box);
}

}  // namespace
}  // namespace qvx
