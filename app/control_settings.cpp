#include "app/control_settings.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <stdexcept>

#include "app/qt_text.h"

namespace qvx {

namespace {

template <typename Map>
auto Lookup(const Map& map, std::string_view name) {
  auto found = map.find(name);
  if (found == map.end()) throw std::invalid_argument("unknown setting " + std::string(name));
  return found->second;
}

template <typename Map>
void Require(const Map& map, std::string_view name) {
  if (name.empty()) return;
  if (map.find(name) == map.end()) throw std::logic_error("no control " + std::string(name));
}

}  // namespace

void ControlSettings::Add(std::string_view name, QComboBox* list) {
  lists_[std::string(name)] = list;
}
void ControlSettings::Add(std::string_view name, QSlider* slider) {
  sliders_[std::string(name)] = slider;
}
void ControlSettings::Add(std::string_view name, QLineEdit* edit) {
  edits_[std::string(name)] = edit;
}
void ControlSettings::Add(std::string_view name, QLabel* label) {
  labels_[std::string(name)] = label;
}
void ControlSettings::AddRadioButton(std::string_view group, QRadioButton* button) {
  radios_[std::string(group)].push_back(button);
}

void ControlSettings::RequireEveryControl() const {
  for (const SettingInfo& setting : Catalogue()) {
    switch (setting.kind) {
      case SettingKind::List:
        Require(lists_, setting.name);
        break;
      case SettingKind::Slider:
        Require(sliders_, setting.name);
        for (std::string_view label : {setting.value_label, setting.min_label, setting.max_label})
          Require(labels_, label);
        break;
      case SettingKind::Radio: {
        const auto found = radios_.find(setting.name);
        const std::size_t entered = found == radios_.end() ? 0 : found->second.size();
        if (entered < setting.buttons.size())
          throw std::logic_error("no control " + std::string(setting.buttons[entered].control));
        break;
      }
      case SettingKind::Text:
        Require(edits_, setting.name);
        break;
    }
  }
}

QComboBox* ControlSettings::List(std::string_view name) const {
  return Lookup(lists_, name);
}
QSlider* ControlSettings::Slider(std::string_view name) const {
  return Lookup(sliders_, name);
}
QLineEdit* ControlSettings::Edit(std::string_view name) const {
  return Lookup(edits_, name);
}
QLabel* ControlSettings::Label(std::string_view name) const {
  return Lookup(labels_, name);
}

const std::vector<QRadioButton*>& ControlSettings::Radios(std::string_view group) const {
  auto found = radios_.find(group);
  if (found == radios_.end()) throw std::invalid_argument("unknown setting " + std::string(group));
  return found->second;
}

int ControlSettings::ListIndex(std::string_view list) const {
  const int index = List(list)->currentIndex();
  return index < 0 ? kNoSelection : index;
}

void ControlSettings::SetListIndex(std::string_view list, int index) {
  QComboBox* combo = List(list);
  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int ControlSettings::SliderPosition(std::string_view slider) const {
  return Position(slider);
}

void ControlSettings::SetSliderPosition(std::string_view slider, int position) {
  WriteSliderPosition(*this, slider, position);
}

int ControlSettings::RadioNumber(std::string_view group) const {
  const auto& buttons = Radios(group);
  // The last button counts as checked when none of the others is.
  for (std::size_t i = 0; i + 1 < buttons.size(); ++i)
    if (buttons[i]->isChecked()) return static_cast<int>(i);
  return static_cast<int>(buttons.size()) - 1;
}

void ControlSettings::SetRadioNumber(std::string_view group, int number) {
  const auto& buttons = Radios(group);  // throws for an unknown group
  const int button = RadioButtonFor(*FindSetting(group), number);
  buttons.at(static_cast<std::size_t>(button))->setChecked(true);
}

std::string ControlSettings::Text(std::string_view field) const {
  return U(Edit(field)->text());
}

void ControlSettings::SetText(std::string_view field, std::string text) {
  Edit(field)->setText(Q(text));
}

std::string ControlSettings::LabelText(std::string_view label) const {
  return U(Label(label)->text());
}

int ControlSettings::Position(std::string_view slider) const {
  return Slider(slider)->value();
}

void ControlSettings::StorePosition(std::string_view slider, int position) {
  QSlider* widget = Slider(slider);
  const QSignalBlocker block(widget);
  widget->setValue(position);
}

int ControlSettings::Minimum(std::string_view slider) const {
  return Slider(slider)->minimum();
}

int ControlSettings::Maximum(std::string_view slider) const {
  return Slider(slider)->maximum();
}

void ControlSettings::StoreMinimum(std::string_view slider, int minimum) {
  QSlider* widget = Slider(slider);
  const QSignalBlocker block(widget);
  widget->setMinimum(minimum);
}

void ControlSettings::SetLabel(std::string_view label, const std::string& text) {
  Label(label)->setText(Q(text));
}

}  // namespace qvx
