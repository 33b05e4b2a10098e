// The settings interface over the window's controls: lists are combo boxes,
// sliders are QSliders, radio groups are radio buttons, text fields are line
// edits. Slider reactions come from the shared slider rules, so a write here
// behaves exactly like the in-memory model.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "settings/slider_rules.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace qvx {

// Also the window's one index from control name to widget: the settings
// pages enter every control they make, and the window, the marking of text
// fields and the device glue find the controls here.
class ControlSettings : public Settings, public SliderControls {
 public:
  // An empty index; the settings pages fill it (BuildSettingsPages).
  ControlSettings() = default;

  // Enters a control under its catalogue name (also its object name).
  void Add(std::string_view name, QComboBox* list);
  void Add(std::string_view name, QSlider* slider);
  void Add(std::string_view name, QLineEdit* edit);
  void Add(std::string_view name, QLabel* label);
  // Appends the next button, in number order, to a radio group ("Set13.1").
  void AddRadioButton(std::string_view group, QRadioButton* button);
  // Throws std::logic_error naming the first control of the catalogue (a
  // setting's control, its slider labels, a radio group's buttons) that
  // was not entered.
  void RequireEveryControl() const;

  // The control entered under that name; std::invalid_argument when none.
  QComboBox* List(std::string_view name) const;
  QSlider* Slider(std::string_view name) const;
  QLineEdit* Edit(std::string_view name) const;
  QLabel* Label(std::string_view name) const;
  // A radio group's buttons in number order.
  const std::vector<QRadioButton*>& Radios(std::string_view group) const;

  int ListIndex(std::string_view list) const override;
  void SetListIndex(std::string_view list, int index) override;
  int SliderPosition(std::string_view slider) const override;
  void SetSliderPosition(std::string_view slider, int position) override;
  int RadioNumber(std::string_view group) const override;
  void SetRadioNumber(std::string_view group, int number) override;
  std::string Text(std::string_view field) const override;
  void SetText(std::string_view field, std::string text) override;
  std::string LabelText(std::string_view label) const override;

  // Raw slider state for the shared rules. Stores block the slider's
  // signals, so only a user's move reaches the change handlers.
  int Position(std::string_view slider) const override;
  void StorePosition(std::string_view slider, int position) override;
  int Minimum(std::string_view slider) const override;
  int Maximum(std::string_view slider) const override;
  void StoreMinimum(std::string_view slider, int minimum) override;
  void SetLabel(std::string_view label, const std::string& text) override;

 private:
  template <typename Widget>
  using ByName = std::map<std::string, Widget*, std::less<>>;

  ByName<QComboBox> lists_;
  ByName<QSlider> sliders_;
  std::map<std::string, std::vector<QRadioButton*>, std::less<>> radios_;
  ByName<QLineEdit> edits_;
  ByName<QLabel> labels_;
};

}  // namespace qvx
