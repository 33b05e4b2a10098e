#include "settings/catalogue.h"

#include <cstdio>
#include <unordered_map>

#include "settings/catalogue_data.h"

namespace qvx {

const std::vector<SettingInfo>& Catalogue() {
  static const std::vector<SettingInfo> catalogue = catalogue_data::BuildCatalogue();
  return catalogue;
}

const SettingInfo* FindSetting(std::string_view name) {
  // Looked up on every read and write of a setting: index the names once.
  static const auto index = [] {
    std::unordered_map<std::string_view, const SettingInfo*> by_name;
    for (const SettingInfo& setting : Catalogue()) by_name.emplace(setting.name, &setting);
    return by_name;
  }();
  const auto found = index.find(name);
  return found == index.end() ? nullptr : found->second;
}

std::string GroupName(int group) {
  char text[16];
  std::snprintf(text, sizeof text, "Set%02d", group);
  return text;
}

std::string SettingReference(const SettingInfo& setting) {
  return GroupName(setting.group) + " пункт " + std::to_string(setting.item);
}

std::string UnselectedListMessage(const SettingInfo& list) {
  return "Не выбрано значение параметра " + SettingReference(list);
}

const std::vector<const SettingInfo*>& TextFieldSettings() {
  static const std::vector<const SettingInfo*> fields = [] {
    std::vector<const SettingInfo*> found;
    for (const SettingInfo& setting : Catalogue())
      if (setting.kind == SettingKind::Text) found.push_back(&setting);
    return found;
  }();
  return fields;
}

std::string TextFieldName(const SettingInfo& setting) {
  std::string_view name = setting.caption;
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  if (!name.empty() && name.back() == ':') name.remove_suffix(1);
  return std::string(name);
}

const std::vector<TabInfo>& Tabs() {
  return catalogue_data::kTabs;
}

const std::vector<std::string_view>& TabCaptions() {
  static const std::vector<std::string_view> captions = [] {
    std::vector<std::string_view> found;
    for (const TabInfo& tab : Tabs()) found.push_back(tab.caption);
    return found;
  }();
  return captions;
}

const std::vector<ZoneColumn>& ZoneColumns() {
  return catalogue_data::kZoneColumns;
}

std::string ZoneControlName(int zone, int group) {
  return "ComboBox" + std::to_string(zone) + std::to_string(group);
}

}  // namespace qvx
