#include "config_file/settings_line.h"

#include <optional>
#include <vector>

#include "config_file/cp1251.h"
#include "settings/settings_digits.h"

namespace qvx {
namespace {

constexpr std::size_t kCodeFields = kDigitGroups;  // fields 1..15
constexpr std::size_t kFields = 30;
constexpr std::size_t kShortestLine = 28;

// The field as code page 1251, or nullopt with the refusal that names it. A
// ":" or "#" would split or end the line, CR, LF or NUL would cut it.
std::optional<std::string> EncodeTextField(const Settings& settings, const SettingInfo& field,
                                           std::string& refusal) {
  std::optional<std::string> bytes = Utf8ToCp1251(settings.Text(field.name));
  if (!bytes || bytes->find_first_of(std::string_view(":#\r\n\0", 5)) != std::string::npos) {
    refusal = "Недопустимый символ в поле " + TextFieldName(field);
    return std::nullopt;
  }
  if (bytes->size() > kMaxTextFieldBytes) {
    refusal = "Слишком длинный текст в поле " + TextFieldName(field);
    return std::nullopt;
  }
  return bytes;
}

std::vector<std::string_view> SplitAtColons(std::string_view part) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t colon = part.find(':'); colon != std::string_view::npos;
       colon = part.find(':', start)) {
    pieces.push_back(part.substr(start, colon - start));
    start = colon + 1;
  }
  pieces.push_back(part.substr(start));
  return pieces;
}

// A code character's number: its code minus that of "0", the code read as a
// signed 8-bit value, so any byte gives a number and only its place matters.
int CodeNumber(char c) {
  return static_cast<signed char>(c) - '0';
}

}  // namespace

BuiltSettingsLine BuildSettingsLine(const Settings& settings) {
  BuiltSettingsLine built;
  const DigitsReading reading = ReadSettingsDigits(settings, ListNumbering::Plain);
  if (reading.unselected != nullptr) {
    built.refusal = UnselectedListMessage(*reading.unselected);
    return built;
  }
  std::string line;
  for (int group = 1; group <= kDigitGroups; ++group)
    line += DigitGroupText(reading.digits, group) + ':';
  for (const SettingInfo* field : TextFieldSettings()) {
    std::optional<std::string> bytes = EncodeTextField(settings, *field, built.refusal);
    if (!bytes) return built;
    line += *bytes;
    line += ':';
  }
  line += '#';
  built.line = std::move(line);
  return built;
}

std::string_view FirstLine(std::string_view text) {
  return text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
}

LineCheck CheckSettingsLine(std::string_view line) {
  line = FirstLine(line);
  if (line.size() < kShortestLine) return {LineFault::TooShort};
  const std::size_t end_mark = line.find(":#");
  // ":#" found implies ":" and "#" are there too
  if (end_mark == std::string_view::npos || end_mark == 0) return {LineFault::NoEndMark};
  const std::vector<std::string_view> pieces = SplitAtColons(line.substr(0, line.find('#')));
  if (pieces.size() < kFields) return {LineFault::FewFields};
  for (std::size_t field = 0; field < kCodeFields; ++field) {
    if (pieces[field].size() < kDigitsPerGroup) return {LineFault::ShortCodeField, field};
  }
  // A text longer than a save writes would open but could not be saved back.
  for (std::size_t field = kCodeFields; field < kFields; ++field) {
    if (pieces[field].size() > kMaxTextFieldBytes) return {LineFault::LongTextField, field};
  }
  return {};
}

bool ApplySettingsLine(Settings& settings, std::string_view line) {
  if (CheckSettingsLine(line).fault != LineFault::None) return false;
  line = FirstLine(line);
  const std::vector<std::string_view> pieces = SplitAtColons(line.substr(0, line.find('#')));

  SettingsDigits digits{};
  for (std::size_t i = 0; i < digits.size(); ++i) {
    digits[i] = CodeNumber(pieces[i / kDigitsPerGroup][i % kDigitsPerGroup]);
  }
  ApplySettingsDigits(settings, digits, ListNumbering::Plain);
  const std::vector<const SettingInfo*>& text_fields = TextFieldSettings();
  for (std::size_t i = 0; i < text_fields.size(); ++i) {
    settings.SetText(text_fields[i]->name, Cp1251ToUtf8(pieces[kCodeFields + i]));
  }
  return true;
}

}  // namespace qvx
