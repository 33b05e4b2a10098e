// The words of the device commands that every face shows alike: the window,
// the command-line tool and the page. The reply's own messages are in
// device/reply.cpp, the port-open errors in OpenErrorText.
#pragma once

#include <string>
#include <string_view>

namespace qvx::device {

inline constexpr std::string_view kSentText = "Данные успешно отправлены";
inline constexpr std::string_view kWriteFailedText = "Ошибка записи в порт";
inline constexpr std::string_view kErrorTitle = "Ошибка ";  // with its trailing space
// The page's port gives no cause of its own for a stuck line.
inline constexpr std::string_view kWriteTimedOutText =
    "Порт не принимает данные: запись не завершилась вовремя. Кадр передан не полностью; "
    "проверьте программатор и запишите ещё раз.";
inline constexpr std::string_view kPortLostText =
    "Связь с портом потеряна: программатор отключён или порт занят. Порт откроется заново при "
    "следующей команде.";
inline constexpr std::string_view kPortTitle = "Quorvex";  // the application's standard dialog
inline constexpr std::string_view kVerifiedText = "Устройство хранит записанные настройки";
inline constexpr std::string_view kVerifyTitle = "Проверка";
// Followed by " (N):" and one line per difference.
inline constexpr std::string_view kDiffersHead = "Устройство хранит другие настройки";
// The countdowns shown in place of "Прочитать": "Чтение: 1,5 с".
inline constexpr std::string_view kReadingLeft = "Чтение";
inline constexpr std::string_view kRecordingLeft = "Запись";

// A failure's message with the port's, the system's or the browser's own
// account on the line below it, when there is one.
inline std::string WithSystemText(std::string_view text, std::string_view system_text) {
  std::string message(text);
  if (!system_text.empty()) message.append("\n").append(system_text);
  return message;
}

}  // namespace qvx::device
