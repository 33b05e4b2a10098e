#include "cli/settings_file.h"

#include <filesystem>

#include "cli/interrupt.h"
#include "cli/settings_json.h"
#include "config_file/file_commands.h"
#include "config_file/file_io.h"
#include "config_file/file_name.h"
#include "config_file/file_texts.h"

namespace qvx::cli {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kNotReplaced = ": файл уже существует и не заменён";

std::string LoadJson(const std::string& path, Settings& settings) {
  const FileRead read = ReadSmallFile(path);
  switch (read.status) {
    case ReadStatus::NotFound:
      return path + ": " + std::string(kNotFoundText);
    case ReadStatus::Unreadable:
      return path + ": " + std::string(kUnreadableText);
    case ReadStatus::TooLong:
      return path + ": " + std::string(kBadFileText) + ": слишком большой для файла настроек";
    case ReadStatus::Ok:
      break;
  }
  const std::string refusal = ApplySettingsJson(read.bytes, settings);
  return refusal.empty() ? "" : path + ": " + refusal;
}

}  // namespace

std::string LoadSettingsFile(const std::string& path, Settings& settings) {
  if (path.empty()) return "не указано имя файла";
  if (HasJsonExtension(path)) return LoadJson(path, settings);
  return OpenSettingsFile(path, settings);
}

std::string SavedName(const std::string& path) {
  return HasJsonExtension(path) ? path : WithQvxExtension(path);
}

std::string CheckSaveTarget(const std::string& path, ExistingFile existing) {
  if (path.empty()) return "не указано имя файла";
  std::error_code error;
  const fs::path folder = fs::path(path).parent_path();
  if (!folder.empty() && !fs::is_directory(folder, error)) return path + ": нет такой папки";
  if (existing == ExistingFile::Replace) return "";
  const std::string name = SavedName(path);
  if (existing == ExistingFile::ReplaceGivenName && name == path) return "";
  // A dangling link counts too: writing would create its target.
  if (fs::exists(fs::symlink_status(name, error))) return name + std::string(kNotReplaced);
  return "";
}

std::string SaveSettingsFile(const Settings& settings, const std::string& path,
                             ExistingFile existing) {
  if (const std::string refusal = CheckSaveTarget(path, existing); !refusal.empty()) return refusal;
  const SaveInProgress saving;  // a second Ctrl-C waits: no temporary file left
  if (HasJsonExtension(path)) {
    if (WriteFileAtomically(path, SettingsToJson(settings).dump(2) + "\n")) return "";
    return path + ": " + std::string(kSaveFailedText);
  }
  KeptMessages messages;
  messages.answer = existing == ExistingFile::Replace;
  const CommandOutcome outcome = SaveSettingsCommand(
      settings, [&] { return path; }, messages);
  if (outcome == CommandOutcome::Done) return "";
  if (messages.asked) return WithQvxExtension(path) + std::string(kNotReplaced);
  return path + ": " + messages.last_shown;
}

}  // namespace qvx::cli
