#include "cli/settings_file.h"

#include <filesystem>

#include "cli/interrupt.h"
#include "cli/settings_json.h"
#include "config_file/file_commands.h"
#include "config_file/file_io.h"
#include "config_file/file_name.h"

namespace qvx::cli {
namespace {
namespace fs = std::filesystem;

std::string LoadJson(const std::string& path, Settings& settings) {
  const FileRead read = ReadSmallFile(path);
  switch (read.status) {
    case ReadStatus::NotFound:
      return path + ": Файл не найден";
    case ReadStatus::Unreadable:
      return path + ": Ошибка открытия файла";
    case ReadStatus::TooLong:
      return path + ": Некорректный файл: слишком большой для файла настроек";
    case ReadStatus::Ok:
      break;
  }
  const nlohmann::json object = nlohmann::json::parse(read.bytes, nullptr, false);
  if (object.is_discarded()) return path + ": Некорректный файл: это не JSON";
  const std::string refusal = ApplySettingsJson(object, settings);
  return refusal.empty() ? "" : path + ": " + refusal;
}

}  // namespace

std::string LoadSettingsFile(const std::string& path, Settings& settings) {
  if (path.empty()) return "не указано имя файла";
  if (HasJsonExtension(path)) return LoadJson(path, settings);
  return OpenSettingsFile(path, settings);
}

std::string CheckSaveTarget(const std::string& path) {
  if (path.empty()) return "не указано имя файла";
  std::error_code error;
  const fs::path folder = fs::path(path).parent_path();
  if (!folder.empty() && !fs::is_directory(folder, error)) return path + ": нет такой папки";
  if (HasJsonExtension(path)) return "";
  const std::string name = WithQvxExtension(path);
  // Only a file hit by the appended name is kept; the name as given is replaced.
  if (name != path && fs::exists(fs::symlink_status(name, error)))
    return name + " уже существует и не заменён";
  return "";
}

std::string SaveSettingsFile(const Settings& settings, const std::string& path) {
  if (path.empty()) return "не указано имя файла";
  const SaveInProgress saving;  // a second Ctrl-C waits: no temporary file left
  if (HasJsonExtension(path)) {
    if (WriteFileAtomically(path, SettingsToJson(settings).dump(2) + "\n")) return "";
    return path + ": Ошибка сохранения файла";
  }
  KeptMessages messages;
  const CommandOutcome outcome = SaveSettingsCommand(
      settings, [&] { return path; }, messages);
  if (outcome == CommandOutcome::Done) return "";
  if (messages.asked) return WithQvxExtension(path) + ": файл уже существует и не заменён";
  return path + ": " + messages.last_shown;
}

}  // namespace qvx::cli
