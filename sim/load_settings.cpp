#include "sim/load_settings.h"

#include "config_file/file_commands.h"
#include "settings/settings_digits.h"
#include "sim/reply_text.h"

namespace qvx::sim {

namespace {

class LastMessage : public CommandMessages {
 public:
  void Show(const std::string& text, const std::string&) override { text_ = text; }
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace

std::string LoadSettingsFile(const std::string& path, MemorySettings& settings) {
  MemorySettings loaded;
  LastMessage messages;
  if (OpenSettingsCommand(loaded, path, messages) != CommandOutcome::Done)
    return path + ": " + messages.Text();
  if (!ReplyFields(loaded)) {
    const DigitsReading digits = ReadSettingsDigits(loaded, ListNumbering::Device);
    return path + ": " +
           (digits.unselected ? UnselectedListMessage(*digits.unselected) : "Некорректный файл");
  }
  settings = loaded;
  return {};
}

}  // namespace qvx::sim
