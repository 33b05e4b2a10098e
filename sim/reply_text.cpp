#include "sim/reply_text.h"

#include "settings/settings_digits.h"

namespace qvx::sim {

const std::vector<std::string_view>& TextFields() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> found;
    for (const SettingInfo& setting : Catalogue())
      if (setting.kind == SettingKind::Text) found.push_back(setting.name);
    return found;
  }();
  return names;
}

std::optional<std::vector<std::string>> ReplyFields(const Settings& settings) {
  const DigitsReading reading = ReadSettingsDigits(settings, ListNumbering::Device);
  if (reading.unselected) return std::nullopt;
  std::vector<std::string> fields;
  for (int group = 0; group < kDigitGroups; ++group) {
    std::string field;
    for (int digit = 0; digit < kDigitsPerGroup; ++digit)
      field += static_cast<char>('0' + reading.digits[group * kDigitsPerGroup + digit]);
    fields.push_back(field);
  }
  for (std::string_view name : TextFields()) fields.push_back(settings.Text(name));
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

std::optional<std::string> BuildReply(const Settings& settings) {
  const auto fields = ReplyFields(settings);
  if (!fields) return std::nullopt;
  return "\r\n" + JoinFields(*fields) + ":#\r\n";
}

}  // namespace qvx::sim
