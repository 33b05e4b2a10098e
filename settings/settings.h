// The settings interface: read and write one setting by its control name,
// with the semantics of the window's controls. Implemented in memory
// (MemorySettings) and over the window's controls.
#pragma once

#include <string>
#include <string_view>

#include "settings/catalogue.h"

namespace qvx {

inline constexpr int kNoSelection = -1;

class Settings {
 public:
  virtual ~Settings() = default;

  // Option index of the selected entry, or kNoSelection.
  virtual int ListIndex(std::string_view list) const = 0;
  // Selects that entry; an index outside the options leaves no entry selected.
  // Runs nothing else.
  virtual void SetListIndex(std::string_view list, int index) = 0;

  virtual int SliderPosition(std::string_view slider) const = 0;
  // Clamps into the slider's current range; when the position changes, runs
  // the slider's change reactions (value label, temperature coupling).
  virtual void SetSliderPosition(std::string_view slider, int position) = 0;

  // Number of the checked button of a radio group ("Set13.1"), from 0.
  virtual int RadioNumber(std::string_view group) const = 0;
  // 0 checks the first button, 1 the second, any other number the last.
  virtual void SetRadioNumber(std::string_view group, int number) = 0;

  virtual std::string Text(std::string_view field) const = 0;
  // Takes the text as it is. Runs nothing else.
  virtual void SetText(std::string_view field, std::string text) = 0;

  // Text of a label kept by the sliders' reactions ("Label32", "Label39").
  virtual std::string LabelText(std::string_view label) const = 0;
};

// Value of a list, slider or radio group setting (index, position, number).
int ReadValue(const Settings& settings, const SettingInfo& setting);
// Writes a list, slider or radio group value with the rules above.
void WriteValue(Settings& settings, const SettingInfo& setting, int value);

// The radio button a number checks: 0 the first, 1 the second, else the last.
int RadioButtonFor(const SettingInfo& group, int number);

}  // namespace qvx
