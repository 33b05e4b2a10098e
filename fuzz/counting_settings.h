// Settings that pass every call on to other settings and count the changes,
// so a target can tell "nothing changed" without comparing whole states.
#pragma once

#include "settings/settings.h"

namespace qvx::fuzz {

class CountingSettings : public Settings {
 public:
  explicit CountingSettings(Settings& inner) : inner_(inner) {}

  int Changes() const { return changes_; }

  int ListIndex(std::string_view list) const override { return inner_.ListIndex(list); }
  void SetListIndex(std::string_view list, int index) override {
    ++changes_;
    inner_.SetListIndex(list, index);
  }
  int SliderPosition(std::string_view slider) const override {
    return inner_.SliderPosition(slider);
  }
  void SetSliderPosition(std::string_view slider, int position) override {
    ++changes_;
    inner_.SetSliderPosition(slider, position);
  }
  int RadioNumber(std::string_view group) const override { return inner_.RadioNumber(group); }
  void SetRadioNumber(std::string_view group, int number) override {
    ++changes_;
    inner_.SetRadioNumber(group, number);
  }
  std::string Text(std::string_view field) const override { return inner_.Text(field); }
  void SetText(std::string_view field, std::string text) override {
    ++changes_;
    inner_.SetText(field, std::move(text));
  }
  std::string LabelText(std::string_view label) const override { return inner_.LabelText(label); }

 private:
  Settings& inner_;
  int changes_ = 0;
};

// True when both hold the same value in every setting.
inline bool SameSettings(const Settings& a, const Settings& b) {
  for (const SettingInfo& setting : Catalogue()) {
    if (setting.kind == SettingKind::Text ? a.Text(setting.name) != b.Text(setting.name)
                                          : ReadValue(a, setting) != ReadValue(b, setting))
      return false;
  }
  return true;
}

}  // namespace qvx::fuzz
