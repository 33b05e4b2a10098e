#include "server/user_commands.h"

#include <pwd.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>

#include "server/audit.h"

namespace qvx::server {
namespace {

std::size_t Characters(const std::string& text) {
  std::size_t count = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xc0) != 0x80) ++count;
  return count;
}

// One line of `in`, without echo when it is the terminal.
std::string ReadPassword(std::istream& in) {
  const bool terminal = &in == &std::cin && isatty(STDIN_FILENO);
  termios saved{};
  if (terminal && tcgetattr(STDIN_FILENO, &saved) == 0) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    std::fputs("Пароль: ", stderr);
  }
  std::string password;
  const bool read = static_cast<bool>(std::getline(in, password));
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fputs("\n", stderr);
  }
  if (!password.empty() && password.back() == '\r') password.pop_back();
  if (!read || password.empty()) throw std::runtime_error("пароль не введён");
  if (Characters(password) < kShortestPassword)
    throw std::runtime_error("пароль короче " + std::to_string(kShortestPassword) + " знаков");
  return password;
}

// Who did it, for the audit: the system account at the server's console.
std::string ConsoleUser() {
  const passwd* user = getpwuid(geteuid());
  return std::string("консоль сервера (") + (user ? user->pw_name : "?") + ")";
}

}  // namespace

int RunUserCommand(const UserCommand& command, Database& database, std::istream& in,
                   std::ostream& out, const PasswordCost& cost) {
  using Kind = UserCommand::Kind;
  if (command.kind == Kind::List) {
    Lease lease = database.Acquire();
    for (const Account& account : ListAccounts(*lease))
      out << account.name << '\t' << WordsOf(account.role) << '\n';
    return 0;
  }
  if (command.kind == Kind::Remove) {
    Lease lease = database.Acquire();
    archive::Transaction transaction(*lease);
    if (!RemoveAccount(*lease, command.name))
      throw std::runtime_error("нет учётной записи «" + command.name + "»");
    Audit(*lease, {"", ConsoleUser(), audit_action::kAccountRemoved, "", command.name});
    transaction.Commit();
    out << "Учётная запись «" << command.name << "» удалена, её сеансы завершены\n";
    return 0;
  }
  if (command.kind == Kind::Add) {
    if (const std::string refusal = NameRefusal(command.name); !refusal.empty())
      throw std::runtime_error(refusal);
    {
      Lease lease = database.Acquire();
      if (FindAccount(*lease, command.name))
        throw std::runtime_error("учётная запись «" + command.name + "» уже есть");
    }
    const std::string hash = HashPassword(ReadPassword(in), cost);
    Lease lease = database.Acquire();
    archive::Transaction transaction(*lease);
    AddAccount(*lease, {command.name, command.role}, hash);
    Audit(*lease, {"", ConsoleUser(), audit_action::kAccountAdded, "",
                   command.name + ": " + WordsOf(command.role)});
    transaction.Commit();
    out << "Учётная запись «" << command.name << "» добавлена: " << WordsOf(command.role) << '\n';
    return 0;
  }
  {
    Lease lease = database.Acquire();
    if (!FindAccount(*lease, command.name))
      throw std::runtime_error("нет учётной записи «" + command.name + "»");
  }
  const std::string hash = HashPassword(ReadPassword(in), cost);
  Lease lease = database.Acquire();
  archive::Transaction transaction(*lease);
  if (!SetPasswordHash(*lease, command.name, hash))
    throw std::runtime_error("нет учётной записи «" + command.name + "»");
  Audit(*lease, {"", ConsoleUser(), audit_action::kPasswordSet, "", command.name});
  transaction.Commit();
  out << "Пароль учётной записи «" << command.name << "» изменён, её сеансы завершены\n";
  return 0;
}

}  // namespace qvx::server
