#include "settings/memory_settings.h"

#include <algorithm>
#include <stdexcept>

namespace qvx {

MemorySettings::MemorySettings() {
  const std::vector<SettingInfo>& catalogue = Catalogue();
  values_.resize(catalogue.size());
  minimums_.resize(catalogue.size());
  texts_.resize(catalogue.size());
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const SettingInfo& setting = catalogue[i];
    if (setting.kind == SettingKind::Text) texts_[i] = std::string(setting.default_text);
    if (setting.kind == SettingKind::Slider) minimums_[i] = setting.minimum;
    values_[i] = setting.default_value;
  }
  ShowSliderLabels(*this);
}

const SettingInfo& MemorySettings::Require(std::string_view name, SettingKind kind) const {
  const SettingInfo* setting = FindSetting(name);
  if (!setting || setting->kind != kind)
    throw std::invalid_argument("no such setting: " + std::string(name));
  return *setting;
}

std::size_t MemorySettings::Place(std::string_view name, SettingKind kind) const {
  return PlaceOf(Require(name, kind));
}

std::size_t MemorySettings::PlaceOf(const SettingInfo& setting) {
  return static_cast<std::size_t>(&setting - Catalogue().data());
}

int MemorySettings::ListIndex(std::string_view list) const {
  return values_[Place(list, SettingKind::List)];
}

void MemorySettings::SetListIndex(std::string_view list, int index) {
  const SettingInfo& setting = Require(list, SettingKind::List);
  const bool offered = index >= 0 && index < static_cast<int>(setting.options.size());
  values_[PlaceOf(setting)] = offered ? index : kNoSelection;
}

int MemorySettings::SliderPosition(std::string_view slider) const {
  return Position(slider);
}

void MemorySettings::SetSliderPosition(std::string_view slider, int position) {
  WriteSliderPosition(*this, slider, position);
}

int MemorySettings::RadioNumber(std::string_view group) const {
  return values_[Place(group, SettingKind::Radio)];
}

void MemorySettings::SetRadioNumber(std::string_view group, int number) {
  const SettingInfo& setting = Require(group, SettingKind::Radio);
  values_[PlaceOf(setting)] = RadioButtonFor(setting, number);
}

std::string MemorySettings::Text(std::string_view field) const {
  return texts_[Place(field, SettingKind::Text)];
}

void MemorySettings::SetText(std::string_view field, std::string text) {
  texts_[Place(field, SettingKind::Text)] = std::move(text);
}

std::string MemorySettings::LabelText(std::string_view label) const {
  const auto found = labels_.find(label);
  return found == labels_.end() ? std::string() : found->second;
}

int MemorySettings::Position(std::string_view slider) const {
  return values_[Place(slider, SettingKind::Slider)];
}

void MemorySettings::StorePosition(std::string_view slider, int position) {
  values_[Place(slider, SettingKind::Slider)] = position;
}

int MemorySettings::Minimum(std::string_view slider) const {
  return minimums_[Place(slider, SettingKind::Slider)];
}

int MemorySettings::Maximum(std::string_view slider) const {
  return Require(slider, SettingKind::Slider).maximum;
}

void MemorySettings::StoreMinimum(std::string_view slider, int minimum) {
  const std::size_t place = Place(slider, SettingKind::Slider);
  minimums_[place] = minimum;
  int& position = values_[place];
  position = std::max(position, minimum);  // as a track bar does
}

void MemorySettings::SetLabel(std::string_view label, const std::string& text) {
  labels_[std::string(label)] = text;
}

}  // namespace qvx
