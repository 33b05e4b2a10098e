// The save and open commands of configuration files, without any toolkit:
// the window supplies the file dialogs' results and shows the messages.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace qvx {

// How the commands talk to the user. The window shows modal message boxes;
// tests and the CLI record the calls.
class CommandMessages {
 public:
  virtual ~CommandMessages() = default;
  // A message box with one OK button.
  virtual void Show(const std::string& text, const std::string& title) = 0;
  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
};

enum class CommandOutcome {
  Done,     // file written / settings loaded
  Stopped,  // ended quietly: dialog cancelled, empty save name, replacement declined
  Refused,  // ended with an error message; nothing written / no setting changed
};

// The file dialog: the name confirmed in it, or nullopt when cancelled.
using ChooseFileName = std::function<std::optional<std::string>()>;

// Save ("Сохранить"). Composes the line first and refuses unsaveable settings
// before asking for a name ("Не выбрано значение параметра ...", "Недопустимый
// символ в поле ...", title "Ошибка"). Then asks choose_file_name; cancelled or
// empty ends quietly. Appends ".qvx" by WithQvxExtension, and when that
// changed the name and a file of the final name exists, asks "Файл NAME уже
// существует. Заменить?" ("Сохранение"). Writes line + CR LF atomically and
// shows "Файл успешно сохранен" ("Сохранение"), or "Ошибка сохранения файла"
// ("Ошибка") leaving any earlier file intact. Never changes a setting.
CommandOutcome SaveSettingsCommand(const Settings& settings, const ChooseFileName& choose_file_name,
                                   CommandMessages& messages);

// Open ("Открыть") with the name the dialog produced: nullopt (cancelled)
// ends quietly; "" gives "Ошибка открытия файла", a missing file "Файл не
// найден", an unreadable one "Ошибка открытия файла", a first line that
// ApplySettingsLine refuses (or longer than kMaxReadBytes) "Некорректный
// файл", all titled "Ошибка" and changing no setting. A first line that
// starts with the UTF-8 mark (EF BB BF) is taken as UTF-8 and opens as the
// same line in code page 1251 would. Success shows nothing.
CommandOutcome OpenSettingsCommand(Settings& settings, const std::optional<std::string>& file_name,
                                   CommandMessages& messages);

// Open of a file's bytes already in memory (a file the browser handed over):
// as OpenSettingsCommand after reading, on the bytes up to the first CR, LF
// or NUL; more than kMaxReadBytes of them give "Некорректный файл".
CommandOutcome OpenSettingsBytes(Settings& settings, std::string_view bytes,
                                 CommandMessages& messages);

// Why OpenSettingsBytes refuses `bytes`, in one line of what failed and
// where, for a face that says more than "Некорректный файл": empty, too
// large, not a settings line, or wrong in which group or field. "" when the
// bytes open.
std::string OpenRefusalReason(std::string_view bytes);

// Save into memory: the file's bytes (line + CR LF) and "Файл успешно
// сохранен" ("Сохранение") shown, which the caller passes on once it has
// written them; or "" with the refusal SaveSettingsCommand shows before its
// dialog. Never changes a setting.
std::string SaveSettingsBytes(const Settings& settings, CommandMessages& messages);

// The messages of a command run without a window: the last text shown is
// kept for printing; a question is answered with `answer` and remembered.
class KeptMessages : public CommandMessages {
 public:
  void Show(const std::string& text, const std::string&) override { last_shown = text; }
  bool AskYesNo(const std::string&, const std::string&) override {
    asked = true;
    return answer;
  }
  std::string last_shown;
  bool answer = false;
  bool asked = false;
};

// Opens the configuration file `path` onto settings by OpenSettingsCommand.
// Returns "" on success, else "PATH: <the command's message>"; a refused
// file changes no setting.
std::string OpenSettingsFile(const std::string& path, Settings& settings);

}  // namespace qvx
