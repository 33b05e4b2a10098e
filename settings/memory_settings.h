// Settings held in memory, starting at the defaults; used by the CLI, the
// simulator and the tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "settings/slider_rules.h"

namespace qvx {

class MemorySettings : public Settings, private SliderControls {
 public:
  MemorySettings();  // every setting at its default, labels shown

  int ListIndex(std::string_view list) const override;
  void SetListIndex(std::string_view list, int index) override;
  int SliderPosition(std::string_view slider) const override;
  void SetSliderPosition(std::string_view slider, int position) override;
  int RadioNumber(std::string_view group) const override;
  void SetRadioNumber(std::string_view group, int number) override;
  std::string Text(std::string_view field) const override;
  void SetText(std::string_view field, std::string text) override;
  std::string LabelText(std::string_view label) const override;

  // Current minimum of a slider (TrackBar2's moves with the coupling).
  int SliderMinimum(std::string_view slider) const { return Minimum(slider); }

 private:
  int Position(std::string_view slider) const override;
  void StorePosition(std::string_view slider, int position) override;
  int Minimum(std::string_view slider) const override;
  int Maximum(std::string_view slider) const override;
  void StoreMinimum(std::string_view slider, int minimum) override;
  void SetLabel(std::string_view label, const std::string& text) override;

  const SettingInfo& Require(std::string_view name, SettingKind kind) const;
  // The setting's place in the catalogue; throws as Require does.
  std::size_t Place(std::string_view name, SettingKind kind) const;
  // The place of a setting found already: no second look-up.
  static std::size_t PlaceOf(const SettingInfo& setting);

  // By catalogue place: found through the catalogue's index of names, not by
  // comparing names again.
  std::vector<int> values_;  // lists, sliders, radio groups
  std::vector<int> minimums_;
  std::vector<std::string> texts_;
  std::map<std::string, std::string, std::less<>> labels_;
};

}  // namespace qvx
