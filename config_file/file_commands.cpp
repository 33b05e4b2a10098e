#include "config_file/file_commands.h"

#include <filesystem>

#include "config_file/cp1251.h"
#include "config_file/file_io.h"
#include "config_file/file_name.h"
#include "config_file/file_texts.h"
#include "config_file/settings_line.h"
#include "settings/settings_digits.h"

namespace qvx {
namespace {

CommandOutcome Refuse(CommandMessages& messages, std::string_view text) {
  messages.Show(std::string(text), std::string(kFileErrorTitle));
  return CommandOutcome::Refused;
}

// A text editor that saved the file as UTF-8 put its mark in front: the line
// is taken back to code page 1251, or refused when it will not go. Without
// this the mark's three bytes would pass as the first three code digits.
std::optional<std::string> LineInCodePage(const std::string& first_line) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (!first_line.starts_with(kUtf8Mark)) return first_line;
  return Utf8ToCp1251(std::string_view(first_line).substr(kUtf8Mark.size()));
}

}  // namespace

CommandOutcome SaveSettingsCommand(const Settings& settings, const ChooseFileName& choose_file_name,
                                   CommandMessages& messages) {
  const BuiltSettingsLine built = BuildSettingsLine(settings);
  if (!built.refusal.empty()) return Refuse(messages, built.refusal);

  const std::optional<std::string> chosen = choose_file_name();
  if (!chosen || chosen->empty()) return CommandOutcome::Stopped;
  const std::string final_name = WithQvxExtension(*chosen);
  // The dialog asked about the chosen name only; ask again for the one written.
  std::error_code error;
  if (final_name != *chosen && std::filesystem::exists(final_name, error) &&
      !messages.AskYesNo(ReplaceQuestion(final_name), std::string(kSaveTitle))) {
    return CommandOutcome::Stopped;
  }

  if (!WriteFileAtomically(final_name, built.line + "\r\n")) {
    return Refuse(messages, kSaveFailedText);
  }
  messages.Show(std::string(kSavedText), std::string(kSaveTitle));
  return CommandOutcome::Done;
}

std::string SaveSettingsBytes(const Settings& settings, CommandMessages& messages) {
  const BuiltSettingsLine built = BuildSettingsLine(settings);
  if (!built.refusal.empty()) {
    Refuse(messages, built.refusal);
    return "";
  }
  messages.Show(std::string(kSavedText), std::string(kSaveTitle));
  return built.line + "\r\n";
}

CommandOutcome OpenSettingsCommand(Settings& settings, const std::optional<std::string>& file_name,
                                   CommandMessages& messages) {
  if (!file_name) return CommandOutcome::Stopped;
  if (file_name->empty()) return Refuse(messages, kUnreadableText);
  const FileRead read = ReadFirstLine(*file_name);
  switch (read.status) {
    case ReadStatus::NotFound:
      return Refuse(messages, kNotFoundText);
    case ReadStatus::Unreadable:
      return Refuse(messages, kUnreadableText);
    case ReadStatus::TooLong:
      return Refuse(messages, kBadFileText);
    case ReadStatus::Ok:
      break;
  }
  const std::optional<std::string> line = LineInCodePage(read.bytes);
  if (!line || !ApplySettingsLine(settings, *line)) return Refuse(messages, kBadFileText);
  return CommandOutcome::Done;
}

CommandOutcome OpenSettingsBytes(Settings& settings, std::string_view bytes,
                                 CommandMessages& messages) {
  const std::string_view first =
      bytes.substr(0, bytes.find_first_of(std::string_view("\r\n\0", 3)));
  if (first.size() > kMaxReadBytes) return Refuse(messages, kBadFileText);
  const std::optional<std::string> line = LineInCodePage(std::string(first));
  if (!line || !ApplySettingsLine(settings, *line)) return Refuse(messages, kBadFileText);
  return CommandOutcome::Done;
}

std::string OpenRefusalReason(std::string_view bytes) {
  const std::string_view first = FirstLine(bytes);
  if (first.empty()) {
    return bytes.empty() ? "Файл пуст." : "Первая строка файла пуста: в ней нет настроек.";
  }
  if (first.size() > kMaxReadBytes) {
    return "Строка файла длиннее " + std::to_string(kMaxReadBytes / 1024) +
           " КБ: это не файл настроек.";
  }
  const std::optional<std::string> line = LineInCodePage(std::string(first));
  if (!line) return "Файл в UTF-8 с символами, которых нет в кодировке Windows-1251.";
  const LineCheck check = CheckSettingsLine(*line);
  const std::string field_number = std::to_string(check.field + 1);
  switch (check.fault) {
    case LineFault::None:
      return "";
    case LineFault::TooShort:
    case LineFault::NoEndMark:
      return "Это не строка настроек: в ней нет кодов настроек, закрытых знаками «:#».";
    case LineFault::FewFields:
      return "Это не строка настроек: в ней меньше 30 полей, разделённых двоеточием.";
    case LineFault::ShortCodeField:
      return "Ошибка в группе кодов " + field_number + " из " + std::to_string(kDigitGroups) +
             ": в ней меньше " + std::to_string(kDigitsPerGroup) + " цифр.";
    case LineFault::LongTextField:
      return "Ошибка в текстовом поле " + field_number + ": длиннее " +
             std::to_string(kMaxTextFieldBytes) + " байт.";
  }
  return "";
}

std::string OpenSettingsFile(const std::string& path, Settings& settings) {
  KeptMessages messages;
  if (OpenSettingsCommand(settings, path, messages) == CommandOutcome::Done) return "";
  return path + ": " + messages.last_shown;
}

}  // namespace qvx
