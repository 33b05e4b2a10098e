#include "server/options.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "server/database.h"

namespace qvx::server {
namespace fs = std::filesystem;

namespace {

void ParseListen(const std::string& text, ServeOptions& serve) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
    throw UsageError("--listen: нужен АДРЕС:ПОРТ, например localhost:8470");
  std::string host = text.substr(0, colon);
  if (host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  const std::string port = text.substr(colon + 1);
  if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(port) > 65535)
    throw UsageError("--listen: неверный порт \"" + port + "\"");
  serve.host = host;
  serve.port = std::stoi(port);
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
  Options options;
  std::vector<std::string> words;  // the arguments that are no option
  std::optional<std::string> role;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw UsageError(arg + ": нет значения");
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--listen") {
      ParseListen(value(), options.serve);
    } else if (arg == "--data") {
      options.serve.data_folder = value();
    } else if (arg == "--database") {
      options.serve.database = value();
      if (!IsPostgresUrl(options.serve.database))
        throw UsageError("--database: нужен адрес postgresql://…");
    } else if (arg == "--tls-cert") {
      options.serve.tls_cert = value();
    } else if (arg == "--tls-key") {
      options.serve.tls_key = value();
    } else if (arg == "--page") {
      options.serve.page_folder = value();
    } else if (arg == "--trust-proxy") {
      options.serve.trust_proxy = true;
    } else if (arg == "--role") {
      role = value();
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError("неизвестный параметр " + arg);
    } else {
      words.push_back(arg);
    }
  }
  if (options.help) return options;
  if (options.serve.tls_cert.empty() != options.serve.tls_key.empty())
    throw UsageError("--tls-cert и --tls-key задаются вместе");
  if (words.empty()) {
    if (role) throw UsageError("--role только для user add");
    return options;
  }
  if (words[0] != "user") throw UsageError("неизвестная команда \"" + words[0] + "\"");
  if (words.size() < 2) throw UsageError("user: нужна команда add, list, remove или password");
  UserCommand user;
  const std::string& command = words[1];
  const std::size_t needed = command == "list" ? 2 : 3;
  if (command == "add") {
    user.kind = UserCommand::Kind::Add;
  } else if (command == "list") {
    user.kind = UserCommand::Kind::List;
  } else if (command == "remove") {
    user.kind = UserCommand::Kind::Remove;
  } else if (command == "password") {
    user.kind = UserCommand::Kind::Password;
  } else {
    throw UsageError("user: неизвестная команда \"" + command + "\"");
  }
  if (words.size() != needed)
    throw UsageError("user " + command + (needed == 3 ? ": нужно одно ИМЯ" : ": лишние слова"));
  if (needed == 3) user.name = words[2];
  if (user.kind == UserCommand::Kind::Add) {
    if (!role) throw UsageError("user add: нужна --role installer|senior|admin");
    const std::optional<Role> known = RoleOfCode(*role);
    if (!known) throw UsageError("--role: installer, senior или admin, а не \"" + *role + "\"");
    user.role = *known;
  } else if (role) {
    throw UsageError("--role только для user add");
  }
  options.user = user;
  return options;
}

std::string Usage() {
  return "Использование:\n"
         "  quorvex-server [--listen АДРЕС:ПОРТ] [--data ПАПКА] [--database postgresql://…]\n"
         "                 [--tls-cert ФАЙЛ --tls-key ФАЙЛ] [--page ПАПКА] [--trust-proxy]\n"
         "  quorvex-server user add ИМЯ --role installer|senior|admin   (пароль — со стандартного "
         "ввода)\n"
         "  quorvex-server user list\n"
         "  quorvex-server user remove ИМЯ\n"
         "  quorvex-server user password ИМЯ                            (пароль — со стандартного "
         "ввода)\n"
         "\n"
         "Сервер архива объектов компании: страница и её интерфейс с одного адреса.\n"
         "\n"
         "  --listen АДРЕС:ПОРТ  где принимать запросы (по умолчанию localhost:8470; порт 0 —\n"
         "                       любой свободный, он назван в первой строке)\n"
         "  --data ПАПКА         папка базы SQLite quorvex-server.db (по умолчанию "
         "/var/lib/quorvex,\n"
         "                       если в неё можно писать, иначе $XDG_DATA_HOME/quorvex)\n"
         "  --database АДРЕС     база PostgreSQL вместо SQLite: "
         "postgresql://ПОЛЬЗОВАТЕЛЬ@ХОСТ/БАЗА\n"
         "  --tls-cert, --tls-key  сертификат и ключ: сервер говорит по HTTPS\n"
         "  --page ПАПКА         файлы страницы (по умолчанию /usr/share/quorvex/web)\n"
         "  --trust-proxy        за обратным прокси (nginx): адрес клиента из X-Forwarded-For,\n"
         "                       схема из X-Forwarded-Proto\n"
         "\n"
         "Роли: installer — установщик, senior — старший установщик, admin — администратор.\n";
}

std::string DefaultDataFolder() {
  std::error_code error;
  if (fs::is_directory("/var/lib/quorvex", error) && access("/var/lib/quorvex", W_OK | X_OK) == 0)
    return "/var/lib/quorvex";
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
    return std::string(xdg) + "/quorvex";
  if (const char* home = std::getenv("HOME"); home && *home == '/')
    return std::string(home) + "/.local/share/quorvex";
  return "/var/lib/quorvex";
}

std::string RootInOthersFolder(const std::string& folder) {
  struct stat status {};
  if (geteuid() != 0 || stat(folder.c_str(), &status) != 0 || status.st_uid == 0) return "";
  const passwd* owner = getpwuid(status.st_uid);
  const std::string name = owner ? owner->pw_name : std::to_string(status.st_uid);
  return "папка данных " + folder + " принадлежит пользователю " + name +
         ": выполните команду от его имени (sudo -u " + name + " quorvex-server …)";
}

std::string DefaultPageFolder(const std::string& executable) {
  std::error_code error;
  const fs::path program = fs::canonical(executable, error);
  if (!error) {
    const fs::path tree = program.parent_path().parent_path().parent_path() / "build-web" / "page";
    if (program.parent_path().filename() == "bin" && fs::is_directory(tree, error)) return tree;
  }
  return "/usr/share/quorvex/web";
}

std::string DatabaseTarget(const ServeOptions& options) {
  if (!options.database.empty()) return options.database;
  return (fs::path(options.data_folder) / "quorvex-server.db").string();
}

}  // namespace qvx::server
