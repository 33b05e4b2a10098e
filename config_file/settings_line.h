// The settings line of a configuration file: fifteen code fields of six
// digits and fifteen text fields, each closed by ":", then "#". The line is
// the file's own text, in code page 1251, without its line break.
#pragma once

#include <string>
#include <string_view>

#include "settings/settings.h"

namespace qvx {

// Longest text field, in bytes of code page 1251, that a save writes; keeps
// every saved line far below the length that opening a file reads.
inline constexpr std::size_t kMaxTextFieldBytes = 4096;

struct BuiltSettingsLine {
  std::string line;     // code page 1251, no line break; empty when refused
  std::string refusal;  // why the settings cannot be saved (title "Ошибка"), else empty
};

// Composes the line from the current settings. Refuses, naming the first
// offender in catalogue order, a list with no entry selected ("Не выбрано
// значение параметра Set05 пункт 3") and a text field that could not be read
// back as written: ":", "#", CR, LF, NUL, a character code page 1251 cannot
// hold ("Недопустимый символ в поле Abon01"), or more than kMaxTextFieldBytes
// ("Слишком длинный текст в поле Abon01"). Reads the settings only.
BuiltSettingsLine BuildSettingsLine(const Settings& settings);

// Text up to the first CR, LF or NUL: the part of a file that counts.
std::string_view FirstLine(std::string_view text);

// Which check of ApplySettingsLine a line fails, in the order they are made;
// `field` is the 0-based field (of 30) a field's check names.
enum class LineFault {
  None,
  TooShort,        // shorter than 28 characters
  NoEndMark,       // no ":#" past its start
  FewFields,       // fewer than 30 fields before the first "#"
  ShortCodeField,  // a code field of fewer than six characters
  LongTextField,   // a text field of more than kMaxTextFieldBytes
};
struct LineCheck {
  LineFault fault = LineFault::None;
  std::size_t field = 0;
};
// The first check FirstLine(line) fails; LineFault::None when it would open.
LineCheck CheckSettingsLine(std::string_view line);

// Puts a file's line into the settings: the 90 code digits in table order
// (TrackBar2 before TrackBar1), then Edit16..Edit30 converted from code page
// 1251. Only FirstLine(line) is looked at. Returns false, changing nothing,
// when the line fails a check: shorter than 28 characters, no ":", no "#",
// no ":#" past its start, fewer than 30 pieces before the first "#", a
// code field shorter than six characters, or a text field longer than
// kMaxTextFieldBytes (so that every file that opens can be saved back).
[[nodiscard]] bool ApplySettingsLine(Settings& settings, std::string_view line);

}  // namespace qvx
