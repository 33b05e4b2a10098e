#include "settings/memory_settings.h"

#include <algorithm>
#include <stdexcept>

namespace qvx {

MemorySettings::MemorySettings() {
  for (const SettingInfo& setting : Catalogue()) {
    const std::string name(setting.name);
    switch (setting.kind) {
      case SettingKind::Text:
        texts_[name] = std::string(setting.default_text);
        break;
      case SettingKind::Slider:
        minimums_[name] = setting.minimum;
        [[fallthrough]];
      default:
        values_[name] = setting.default_value;
    }
  }
  ShowSliderLabels(*this);
}

const SettingInfo& MemorySettings::Require(std::string_view name, SettingKind kind) const {
  const SettingInfo* setting = FindSetting(name);
  if (!setting || setting->kind != kind)
    throw std::invalid_argument("no such setting: " + std::string(name));
  return *setting;
}

int MemorySettings::ListIndex(std::string_view list) const {
  Require(list, SettingKind::List);
  return values_.find(list)->second;
}

void MemorySettings::SetListIndex(std::string_view list, int index) {
  const SettingInfo& setting = Require(list, SettingKind::List);
  const bool offered = index >= 0 && index < static_cast<int>(setting.options.size());
  values_.find(list)->second = offered ? index : kNoSelection;
}

int MemorySettings::SliderPosition(std::string_view slider) const {
  return Position(slider);
}

void MemorySettings::SetSliderPosition(std::string_view slider, int position) {
  WriteSliderPosition(*this, slider, position);
}

int MemorySettings::RadioNumber(std::string_view group) const {
  Require(group, SettingKind::Radio);
  return values_.find(group)->second;
}

void MemorySettings::SetRadioNumber(std::string_view group, int number) {
  const SettingInfo& setting = Require(group, SettingKind::Radio);
  values_.find(group)->second = RadioButtonFor(setting, number);
}

std::string MemorySettings::Text(std::string_view field) const {
  Require(field, SettingKind::Text);
  return texts_.find(field)->second;
}

void MemorySettings::SetText(std::string_view field, std::string text) {
  Require(field, SettingKind::Text);
  texts_.find(field)->second = std::move(text);
}

std::string MemorySettings::LabelText(std::string_view label) const {
  const auto found = labels_.find(label);
  return found == labels_.end() ? std::string() : found->second;
}

int MemorySettings::Position(std::string_view slider) const {
  Require(slider, SettingKind::Slider);
  return values_.find(slider)->second;
}

void MemorySettings::StorePosition(std::string_view slider, int position) {
  Require(slider, SettingKind::Slider);
  values_.find(slider)->second = position;
}

int MemorySettings::Minimum(std::string_view slider) const {
  Require(slider, SettingKind::Slider);
  return minimums_.find(slider)->second;
}

int MemorySettings::Maximum(std::string_view slider) const {
  return Require(slider, SettingKind::Slider).maximum;
}

void MemorySettings::StoreMinimum(std::string_view slider, int minimum) {
  Require(slider, SettingKind::Slider);
  minimums_.find(slider)->second = minimum;
  int& position = values_.find(slider)->second;
  position = std::max(position, minimum);  // as a track bar does
}

void MemorySettings::SetLabel(std::string_view label, const std::string& text) {
  labels_[std::string(label)] = text;
}

}  // namespace qvx
