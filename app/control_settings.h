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
class QWidget;

namespace qvx {

class ControlSettings : public Settings, public SliderControls {
 public:
  // Finds every catalogue control and slider label among root's children by
  // object name; throws std::logic_error when one is missing.
  explicit ControlSettings(QWidget* root);

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

  QComboBox* List(std::string_view name) const;
  QSlider* Slider(std::string_view name) const;
  const std::vector<QRadioButton*>& Radios(std::string_view group) const;
  QLineEdit* Edit(std::string_view name) const;
  QLabel* Label(std::string_view name) const;

  ByName<QComboBox> lists_;
  ByName<QSlider> sliders_;
  std::map<std::string, std::vector<QRadioButton*>, std::less<>> radios_;
  ByName<QLineEdit> edits_;
  ByName<QLabel> labels_;
};

}  // namespace qvx
