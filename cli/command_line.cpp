#include "cli/command_line.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include "device/protocol.h"

namespace qvx::cli {
namespace {

struct CommandUsage {
  std::string_view command;
  std::string text;
};

constexpr std::string_view kToolUsage =
    "использование: quorvex-cli COMMAND [ARGS]   (quorvex-cli COMMAND --help: подробнее)\n"
    "  ports [--json]                    порты, как их видит окно\n"
    "  show [FILE] [--json]              настройки (по умолчанию или из FILE)\n"
    "  diff A [B] [--json]               различия настроек A и B (или умолчаний)\n"
    "  convert IN OUT [--force]          .qvx <-> .json\n"
    "  frame FILE                        кадр, который отправит \"Записать\"\n"
    "  decode [FILE|-]                   строка настроек из ответа устройства\n"
    "  write FILE --port P... [--verify] \"Записать\" на одном или многих портах\n"
    "  read --port P -o FILE             \"Прочитать\" и сохранить в FILE\n"
    "  report SOURCE -o FILE.html|.pdf   лист настроек для печати\n"
    "  archive list|show|import|export   архив объектов: карточки и журнал (файл или --server)\n";

// The figures of the device's timing come from the protocol, never typed.
const std::vector<CommandUsage>& Usages() {
  static const std::vector<CommandUsage> usages = {
      {"ports",
       "использование: quorvex-cli ports [--json]\n"
       "Порты, которые находит окно, в его порядке, по одному в строке: имя, затем\n"
       "описание (USB VID:PID, изготовитель, серийный номер, имя в /dev/serial/by-id).\n"
       "  --json    то же одним массивом JSON\n"},
      {"show",
       "использование: quorvex-cli show [FILE] [--json]\n"
       "Все настройки в порядке каталога: по умолчанию или из FILE (.qvx или .json).\n"
       "  --json    то же одним объектом JSON\n"},
      {"diff",
       "использование: quorvex-cli diff A [B] [--json]\n"
       "Настройки, которые различаются в A и B, по одной в строке. Без B A\n"
       "сравнивается с настройками по умолчанию. Источник: файл .qvx или .json,\n"
       "defaults (настройки по умолчанию) или port:NAME (прочитать устройство на порту).\n"
       "  --json    различия одним массивом JSON\n"
       "Код выхода: 0 — совпадают, 1 — различаются, 2 — ошибка.\n"},
      {"convert",
       "использование: quorvex-cli convert IN OUT [--force]\n"
       "Переводит файл настроек из .qvx в .json или обратно. К имени OUT без .json\n"
       "добавляется .qvx, как при \"Сохранить\"; существующий файл OUT не заменяется.\n"
       "  --force   заменить существующий файл OUT\n"},
      {"frame",
       "использование: quorvex-cli frame FILE\n"
       "Печатает кадр, который \"Записать\" отправит с настройками FILE.\n"},
      {"decode",
       "использование: quorvex-cli decode [FILE|-]\n"
       "Разбирает байты ответа устройства (из FILE или со стандартного ввода) как\n"
       "\"Прочитать\" и печатает строку настроек, которую запишет \"Сохранить\".\n"},
      {"write",
       "использование: quorvex-cli write FILE (--port P ... | --ports-from LIST | --all-usb)\n"
       "                                [--verify [--settle MS]] [--backup DIR [--force]]\n"
       "                                [(--archive FILE | --server URL) --object NUMBER]\n"
       "\"Записать\" с настройками FILE. Несколько портов программируются одновременно,\n"
       "по одному потоку на порт; по каждому порту печатается строка итога, затем общий итог.\n"
       "  --port P         порт (ttyUSB0 или полный путь); можно указать несколько раз\n"
       "  --ports-from F   порты из файла F, по одному в строке (# — комментарий)\n"
       "  --all-usb        все USB-адаптеры из списка quorvex-cli ports\n"
       "  --verify         после записи прочитать устройство и сравнить каждую настройку\n"
       "  --settle MS      ожидание перед чтением, пока устройство сохраняет настройки\n"
       "                   (оно подаёт три длинных сигнала); по умолчанию " +
           std::to_string(device::kRecordingMs) +
           "\n"
           "  --backup DIR     перед записью прочитать устройство и сохранить то, что оно\n"
           "                   хранило, в DIR/PORT-ГГГГММДД-ЧЧММСС.qvx; устройство, которое\n"
           "                   не удалось прочитать или сохранить, не записывается\n"
           "  --force          с --backup: записать и то устройство, копию которого сохранить\n"
           "                   не удалось\n"
           "  --archive FILE   с --object: записать в журнал объекта в архиве FILE строку\n"
           "                   каждого порта; архив проверяется до записи\n"
           "  --object NUMBER  номер объекта в архиве\n"
           "  --server URL     сервер архива компании (http(s)://HOST[:PORT]) вместо файла\n"
           "  --user NAME      имя на сервере (или QUORVEX_USER); пароль — первая строка\n"
           "                   стандартного ввода (или QUORVEX_PASSWORD), нигде не хранится\n"
           "  --ca-file FILE   доверять сертификату сервера https:// из FILE\n"
           "Код выхода: 0 — все устройства записаны (и проверены), 1 — иначе.\n"},
      {"read",
       "использование: quorvex-cli read --port P -o FILE [(--archive FILE | --server URL) --object "
       "NUMBER]\n"
       "\"Прочитать\" на порту P (ответ ожидается " +
           std::to_string(device::kReceptionWindowMs) +
           " мс) и сохранить настройки в FILE.\n"
           "  --archive FILE   с --object: записать чтение в журнал объекта в архиве FILE;\n"
           "                   прочитанные настройки становятся текущими настройками объекта\n"
           "  --object NUMBER  номер объекта в архиве\n"
           "  --server URL     сервер архива компании (http(s)://HOST[:PORT]) вместо файла\n"
           "  --user NAME      имя на сервере (или QUORVEX_USER); пароль — первая строка\n"
           "                   стандартного ввода (или QUORVEX_PASSWORD), нигде не хранится\n"
           "  --ca-file FILE   доверять сертификату сервера https:// из FILE\n"},
      {"report",
       "использование: quorvex-cli report SOURCE -o FILE.html|FILE.pdf [--mask-password]\n"
       "                            [--archive FILE --object NUMBER] [--installer NAME]\n"
       "Лист настроек для печати на A4: все настройки по вкладкам и группам, номера\n"
       "абонентов, пароль, адрес и порт, источник, время и версия программы.\n"
       "Источник: файл .qvx или .json, defaults или port:NAME.\n"
       "  -o FILE           .html (самостоятельная страница) или .pdf\n"
       "  --mask-password   скрыть пароль\n"
       "  --archive FILE    с --object: строки «Объект» и «Адрес объекта» из карточки\n"
       "  --object NUMBER   объекта NUMBER в архиве FILE\n"
       "  --installer NAME  строка «Установщик»; без имени строки остаются пустыми\n"},
      {"archive",
       "использование: quorvex-cli archive list FILE [--search TEXT] [--json]\n"
       "               quorvex-cli archive show FILE NUMBER [--json]\n"
       "               quorvex-cli archive import FILE PATH...\n"
       "               quorvex-cli archive export FILE NUMBER -o SET.qvx\n"
       "               quorvex-cli archive list|show|import --server URL [--user NAME] ...\n"
       "Архив объектов FILE: карточки объектов (номер, заказчик, адрес, текущие настройки)\n"
       "и журнал каждой записи и чтения. Тот же файл открывает страница. С --server URL\n"
       "list, show и import работают с архивом на сервере компании вместо FILE.\n"
       "  list             объекты по одному в строке: номер, название, адрес, последнее\n"
       "                   изменение; сначала изменённые последними\n"
       "  --search TEXT    только объекты, в номере, названии или адресе которых есть TEXT,\n"
       "                   или в телефонах которых есть его цифры\n"
       "  show             карточка объекта NUMBER и его журнал\n"
       "  import           файлы .qvx, папки с ними или другой архив; файл .qvx становится\n"
       "                   объектом с именем файла, его настройки — первой записью журнала;\n"
       "                   FILE создаётся, если его нет; повторный импорт ничего не дублирует\n"
       "  export           текущие настройки объекта NUMBER в файл SET.qvx\n"
       "  -o SET.qvx       файл настроек для export\n"
       "  --json           list и show: то же в JSON\n"
       "  --server URL     сервер архива компании (http(s)://HOST[:PORT]) вместо FILE\n"
       "  --user NAME      имя на сервере (или QUORVEX_USER); пароль — первая строка\n"
       "                   стандартного ввода (или QUORVEX_PASSWORD), нигде не хранится\n"
       "  --ca-file FILE   доверять сертификату сервера https:// из FILE\n"},
  };
  return usages;
}

}  // namespace

std::string_view UsageOf(std::string_view command) {
  for (const CommandUsage& usage : Usages())
    if (usage.command == command) return usage.text;
  return kToolUsage;
}

bool WantsHelp(const Args& args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
}

std::string Prefix(std::string_view command) {
  return "quorvex-cli " + std::string(command) + ": ";
}

int UsageError(std::string_view command, const std::string& problem) {
  std::cerr << Prefix(command) << problem << "\n" << UsageOf(command);
  return 2;
}

int Failure(std::string_view command, const std::string& message) {
  std::cerr << Prefix(command) << message << "\n";
  return 1;
}

std::string ParsedArgs::Value(std::string_view option) const {
  const auto found = options.find(option);
  return found == options.end() || found->second.empty() ? "" : found->second.back();
}

const std::vector<std::string>& ParsedArgs::Values(std::string_view option) const {
  static const std::vector<std::string> none;
  const auto found = options.find(option);
  return found == options.end() ? none : found->second;
}

std::string ParseArgs(const Args& args, std::span<const OptionSpec> options,
                      std::size_t max_positional, ParsedArgs& parsed) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      if (parsed.positional.size() == max_positional) return "лишний аргумент \"" + arg + "\"";
      parsed.positional.push_back(arg);
      continue;
    }
    const auto known = std::find_if(options.begin(), options.end(),
                                    [&](const OptionSpec& option) { return option.name == arg; });
    if (known == options.end()) return "неизвестный параметр \"" + arg + "\"";
    if (parsed.Has(arg) && !known->repeatable) return "параметр " + arg + " указан дважды";
    std::vector<std::string>& values = parsed.options[arg];
    if (!known->takes_value) continue;
    if (i + 1 == args.size() || args[i + 1].empty() || args[i + 1].starts_with("--"))
      return "у параметра " + arg + " нет значения";
    values.push_back(args[++i]);
  }
  return {};
}

PrefixedLines::int_type PrefixedLines::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  if (at_line_start_) target_ << prefix_;
  const char ch = traits_type::to_char_type(c);
  target_.put(ch);
  at_line_start_ = ch == '\n';
  if (at_line_start_) target_.flush();
  return c;
}

int PrefixedLines::sync() {
  target_.flush();
  return 0;
}

}  // namespace qvx::cli
