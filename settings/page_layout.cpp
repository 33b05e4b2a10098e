#include "settings/page_layout.h"

#include <array>
#include <string>

namespace qvx {

namespace {

std::vector<const SettingInfo*> SettingsOnTab(std::string_view tab) {
  std::vector<const SettingInfo*> found;
  for (const SettingInfo& setting : Catalogue())
    if (setting.tab == tab) found.push_back(&setting);
  return found;
}

// The box titles "Set01".."Set14", kept for the views of the layout.
std::string_view GroupTitle(int group) {
  static const std::array<std::string, 15> titles = [] {
    std::array<std::string, 15> names;
    for (int g = 1; g < 15; ++g) names[static_cast<std::size_t>(g)] = GroupName(g);
    return names;
  }();
  return titles.at(static_cast<std::size_t>(group));
}

// Rows of settings in the given order, by their placements.
std::vector<LayoutRow> Rows(const std::vector<const SettingInfo*>& settings) {
  std::vector<LayoutRow> rows;
  for (const SettingInfo* s : settings) {
    if (!s->heading.empty()) rows.push_back({RowKind::Heading, s->heading, {}, s->column, {}});
    if (s->placement == Placement::PreviousRow && !rows.empty() &&
        rows.back().kind == RowKind::Field) {
      rows.back().settings.push_back(s->name);
      continue;
    }
    const RowKind kind = s->placement == Placement::OwnBox ? RowKind::Box : RowKind::Field;
    rows.push_back({kind, s->caption, s->hint, s->column, {s->name}});
  }
  return rows;
}

TabLayout ZoneTable(const TabInfo& tab) {
  TabLayout layout{tab.kind, tab.caption, ZoneColumns(), {LayoutBox{}}};
  for (const SettingInfo* s : SettingsOnTab(tab.caption)) {
    // One row per zone, labelled by the zone's first setting.
    auto& rows = layout.boxes.front().rows;
    if (static_cast<int>(rows.size()) < s->item) rows.resize(static_cast<std::size_t>(s->item));
    LayoutRow& row = rows[static_cast<std::size_t>(s->item - 1)];
    if (row.settings.empty()) {
      row.caption = s->caption;
      row.hint = s->hint;
      row.settings.resize(layout.columns.size());
    }
    for (std::size_t c = 0; c < layout.columns.size(); ++c)
      if (layout.columns[c].group == s->group) row.settings[c] = s->name;
  }
  return layout;
}

TabLayout GroupBoxes(const TabInfo& tab) {
  TabLayout layout{tab.kind, tab.caption, {}, {}};
  std::vector<const SettingInfo*> group;
  auto close_group = [&] {
    if (group.empty()) return;
    layout.boxes.push_back({GroupTitle(group.front()->group), Rows(group)});
    group.clear();
  };
  for (const SettingInfo* s : SettingsOnTab(tab.caption)) {
    if (!group.empty() && group.front()->group != s->group) close_group();
    group.push_back(s);
  }
  close_group();
  return layout;
}

TabLayout TextFields(const TabInfo& tab) {
  // The fields in field order, then the rest of the tab below them.
  std::vector<const SettingInfo*> fields, rest;
  for (const SettingInfo* s : SettingsOnTab(tab.caption))
    (s->kind == SettingKind::Text ? fields : rest).push_back(s);
  fields.insert(fields.end(), rest.begin(), rest.end());
  return {tab.kind, tab.caption, {}, {{tab.box_title, Rows(fields)}}};
}

}  // namespace

const std::vector<TabLayout>& TabLayouts() {
  static const std::vector<TabLayout> layouts = [] {
    std::vector<TabLayout> all;
    for (const TabInfo& tab : Tabs()) {
      switch (tab.kind) {
        case PageKind::Greeting:
          all.push_back({tab.kind, tab.caption, {}, {}});
          break;
        case PageKind::ZoneTable:
          all.push_back(ZoneTable(tab));
          break;
        case PageKind::GroupBoxes:
          all.push_back(GroupBoxes(tab));
          break;
        case PageKind::TextFields:
          all.push_back(TextFields(tab));
          break;
      }
    }
    return all;
  }();
  return layouts;
}

}  // namespace qvx
