// The write frame that "Записать" sends: "A3A4", the 90 settings digits with
// the device's numbering, the tagged texts, "##".
#pragma once

#include <string>

#include "device/text_fields.h"
#include "settings/settings.h"
#include "settings/settings_digits.h"

namespace qvx::device {

struct WriteFrame {
  std::string frame;    // empty when refused
  std::string message;  // refusal, empty on success
  std::string title;
};

// Builds the frame from the settings as they stand; the texts of Edit16..Edit30
// are taken unchanged, so the caller normalises and checks them first
// (CheckTextFields). A list with no entry selected refuses the frame with
// "Не выбрано значение параметра SetNN пункт M", title "Ошибка".
WriteFrame BuildWriteFrame(const Settings& settings);

// Frame from digits and texts already at hand.
std::string FormatWriteFrame(const SettingsDigits& digits, const TextFields& texts);

// The texts of Edit16..Edit30 as the settings hold them.
TextFields ReadTextFields(const Settings& settings);

// Writes the texts back into Edit16..Edit30.
void WriteTextFields(Settings& settings, const TextFields& texts);

}  // namespace qvx::device
