#include "sim/reply_text.h"

#include "settings/settings_digits.h"

namespace qvx::sim {

std::optional<std::vector<std::string>> ReplyFields(const Settings& settings) {
  const DigitsReading reading = ReadSettingsDigits(settings, ListNumbering::Device);
  if (reading.unselected) return std::nullopt;
  std::vector<std::string> fields;
  for (int group = 1; group <= kDigitGroups; ++group)
    fields.push_back(DigitGroupText(reading.digits, group));
  for (const SettingInfo* field : TextFieldSettings()) fields.push_back(settings.Text(field->name));
  return fields;
}

std::string JoinFields(const std::vector<std::string>& fields) {
  std::string joined;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) joined += ':';
    joined += fields[i];
  }
  return joined;
}

std::string ReplyText(const std::vector<std::string>& fields) {
  return "\r\n" + JoinFields(fields) + ":#\r\n";
}

std::optional<std::string> BuildReply(const Settings& settings) {
  const auto fields = ReplyFields(settings);
  if (!fields) return std::nullopt;
  return ReplyText(*fields);
}

}  // namespace qvx::sim
