#include "cli/server_login.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace qvx::cli {
namespace {

// One line of standard input, without echo on a terminal.
std::string PasswordFromInput(const std::string& user, const std::string& url) {
  const bool terminal = isatty(STDIN_FILENO) == 1;
  termios saved{};
  if (terminal && tcgetattr(STDIN_FILENO, &saved) == 0) {
    std::cerr << "Пароль " << user << " на " << url << ": " << std::flush;
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  std::string password;
  std::getline(std::cin, password);
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::cerr << "\n";
  }
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return password;
}

}  // namespace

std::string ServerOptionsProblem(const ParsedArgs& parsed) {
  if (!parsed.Has("--server")) {
    for (const char* option : {"--user", "--ca-file"})
      if (parsed.Has(option)) return std::string(option) + " действует только вместе с --server";
    return "";
  }
  if (parsed.Has("--archive")) return "--server и --archive вместе не задаются: архив один";
  const std::string url = parsed.Value("--server");
  if (const std::string problem = ServerUrlProblem(url); !problem.empty()) return problem;
  if (parsed.Has("--ca-file") && !url.starts_with("https"))
    return "--ca-file действует только с адресом https://";
  return "";
}

std::optional<ServerLogin> LoginOf(const ParsedArgs& parsed, std::string& problem) {
  ServerLogin login;
  login.url = parsed.Value("--server");
  login.ca_file = parsed.Value("--ca-file");
  login.user = parsed.Value("--user");
  if (login.user.empty())
    if (const char* user = std::getenv("QUORVEX_USER")) login.user = user;
  if (login.user.empty()) {
    problem = "не указано имя на сервере (--user ИМЯ или QUORVEX_USER)";
    return std::nullopt;
  }
  if (const char* password = std::getenv("QUORVEX_PASSWORD"))
    login.password = password;
  else
    login.password = PasswordFromInput(login.user, login.url);
  if (login.password.empty()) {
    problem = "нет пароля: строка на стандартном вводе или QUORVEX_PASSWORD";
    return std::nullopt;
  }
  return login;
}

std::unique_ptr<ServerLink> LogInBy(const ParsedArgs& parsed, std::string& failure, bool& usage) {
  usage = false;
  const std::optional<ServerLogin> login = LoginOf(parsed, failure);
  if (!login) {
    usage = true;
    return nullptr;
  }
  std::error_code error;
  if (!login->ca_file.empty() && !std::filesystem::is_regular_file(login->ca_file, error)) {
    failure = login->ca_file + ": нет такого файла сертификата";
    return nullptr;
  }
  try {
    return ServerLink::LogIn(*login);
  } catch (const ServerError& refused) {
    failure = refused.what();
    return nullptr;
  }
}

}  // namespace qvx::cli
