#include "sim/load_settings.h"

#include "config_file/file_commands.h"
#include "settings/settings_digits.h"
#include "sim/reply_text.h"

namespace qvx::sim {

std::string LoadSettingsFile(const std::string& path, MemorySettings& settings) {
  MemorySettings loaded;
  if (std::string refusal = OpenSettingsFile(path, loaded); !refusal.empty()) return refusal;
  if (!ReplyFields(loaded)) {
    const DigitsReading digits = ReadSettingsDigits(loaded, ListNumbering::Device);
    return path + ": " +
           (digits.unselected ? UnselectedListMessage(*digits.unselected) : "Некорректный файл");
  }
  settings = loaded;
  return {};
}

}  // namespace qvx::sim
