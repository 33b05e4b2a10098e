#include "app/window_arguments.h"

namespace qvx {

WindowArguments ParseWindowArguments(const std::vector<std::string>& words) {
  WindowArguments parsed;
  bool help = false;
  bool version = false;
  bool options_ended = false;
  for (const std::string& word : words) {
    if (!options_ended && word == "--") {
      options_ended = true;
    } else if (options_ended || !word.starts_with('-')) {
      if (!parsed.file) parsed.file = word;
    } else if (word == "--help") {
      help = true;
    } else if (word == "--version") {
      version = true;
    } else if (parsed.error.empty()) {
      parsed.error = "quorvex: неизвестный параметр \"" + word + "\"";
    }
  }
  if (!parsed.error.empty())
    parsed.action = WindowArguments::Action::UsageError;
  else if (help)
    parsed.action = WindowArguments::Action::Help;
  else if (version)
    parsed.action = WindowArguments::Action::Version;
  return parsed;
}

std::string WindowUsage() {
  return "Использование: quorvex [ФАЙЛ.qvx]\n"
         "       quorvex -- ФАЙЛ.qvx     (имя файла может начинаться с \"-\")\n"
         "Окно конфигуратора Quorvex; названный файл настроек открывается в нём,\n"
         "как по кнопке \"Открыть\".\n"
         "  --help     эта справка\n"
         "  --version  версия программы\n";
}

int AnswerWithoutWindow(const WindowArguments& arguments, std::ostream& out, std::ostream& err) {
  switch (arguments.action) {
    case WindowArguments::Action::OpenWindow:
      break;
    case WindowArguments::Action::Help:
      out << WindowUsage() << std::flush;
      return 0;
    case WindowArguments::Action::Version:
      out << "Quorvex " QUORVEX_VERSION "\n" << std::flush;
      return 0;
    case WindowArguments::Action::UsageError:
      err << arguments.error << "\n" << WindowUsage() << std::flush;
      return 2;
  }
  return -1;
}

}  // namespace qvx
