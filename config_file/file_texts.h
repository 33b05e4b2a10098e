// The words of the file commands, which the window, the command-line tool
// and the page say alike.
#pragma once

#include <string>
#include <string_view>

namespace qvx {

inline constexpr std::string_view kFileErrorTitle = "Ошибка";
inline constexpr std::string_view kSaveTitle = "Сохранение";
inline constexpr std::string_view kSavedText = "Файл успешно сохранен";
inline constexpr std::string_view kSaveFailedText = "Ошибка сохранения файла";
inline constexpr std::string_view kNotFoundText = "Файл не найден";
inline constexpr std::string_view kUnreadableText = "Ошибка открытия файла";
inline constexpr std::string_view kBadFileText = "Некорректный файл";

// The save's question before it replaces `name`: "Файл NAME уже существует. Заменить?".
inline std::string ReplaceQuestion(std::string_view name) {
  return "Файл " + std::string(name) + " уже существует. Заменить?";
}

}  // namespace qvx
