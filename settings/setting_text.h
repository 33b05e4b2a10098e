// How a setting and its value are named for people (the CLI's listings, the
// page's comparisons): the catalogue's captions and option texts, in Russian.
#pragma once

#include <string>

#include "settings/settings.h"

namespace qvx {

// "Set07 пункт 3" for grouped settings; the control for a text field ("Edit16").
std::string SettingPlace(const SettingInfo& setting);

// The caption on one line; a zone-table cell adds its column heading
// ("Зона 1 / Группы"); a text field gives its name ("Abon01", "Порт").
std::string SettingCaption(const SettingInfo& setting);

// The whole caption as the window shows it, on one line, colon and all; a
// zone-table cell adds its column heading.
std::string CaptionOnOneLine(const SettingInfo& setting);

// The option text alone: the list entry, the radio button's caption, the
// slider position, the text itself; "не выбрано" for a list without entry.
std::string OptionText(const Settings& settings, const SettingInfo& setting);

// The value with its option text: 1 "Вкл", 25, "text" (text quoted).
// Bytes below 0x20 and 0x7F show as \xNN, so no text can drive a terminal.
std::string ValueWithText(const Settings& settings, const SettingInfo& setting);

// Bytes below 0x20 and 0x7F as \xNN, everything else as it is.
std::string EscapeControlBytes(const std::string& text);

// True when the two hold the same value of this setting.
bool SameValue(const Settings& a, const Settings& b, const SettingInfo& setting);

}  // namespace qvx
