#include "server/accounts.h"

#include "archive/archive_error.h"
#include "archive/records.h"
#include "server/rows.h"

namespace qvx::server {

using archive::ArchiveError;
using archive::Failure;

std::optional<Role> RoleOfCode(const std::string& code) {
  if (code == "installer") return Role::Installer;
  if (code == "senior") return Role::Senior;
  if (code == "admin") return Role::Admin;
  return std::nullopt;
}

std::string CodeOf(Role role) {
  switch (role) {
    case Role::Installer:
      return "installer";
    case Role::Senior:
      return "senior";
    case Role::Admin:
      return "admin";
  }
  return "installer";
}

std::string WordsOf(Role role) {
  switch (role) {
    case Role::Installer:
      return "установщик";
    case Role::Senior:
      return "старший установщик";
    case Role::Admin:
      return "администратор";
  }
  return "установщик";
}

std::string NameRefusal(const std::string& name) {
  if (name.empty()) return "имя не указано";
  if (name.size() > 100) return "слишком длинное имя";
  if (!IsPlainLine(name)) return "недопустимый символ в имени";
  if (name.front() == ' ' || name.back() == ' ') return "имя начинается или кончается пробелом";
  return "";
}

void AddAccount(archive::Executor& executor, const Account& account,
                const std::string& password_hash) {
  if (const std::string refusal = NameRefusal(account.name); !refusal.empty())
    throw ArchiveError(Failure::Refused, refusal);
  const auto added =
      executor.Run({"INSERT INTO users (name, role, password_hash, created_at) VALUES (?, ?, ?, ?)"
                    " ON CONFLICT DO NOTHING RETURNING name",
                    {account.name, CodeOf(account.role), password_hash, archive::NowText()}});
  if (added.empty())
    throw ArchiveError(Failure::Refused, "учётная запись «" + account.name + "» уже есть");
}

bool RemoveAccount(archive::Executor& executor, const std::string& name) {
  archive::Transaction transaction(executor);
  executor.Run({"DELETE FROM sessions WHERE user_name = ?", {name}});
  const bool removed =
      !executor.Run({"DELETE FROM users WHERE name = ? RETURNING name", {name}}).empty();
  transaction.Commit();
  return removed;
}

bool SetPasswordHash(archive::Executor& executor, const std::string& name,
                     const std::string& password_hash) {
  archive::Transaction transaction(executor);
  executor.Run({"DELETE FROM sessions WHERE user_name = ?", {name}});
  const bool changed =
      !executor
           .Run({"UPDATE users SET password_hash = ? WHERE name = ? RETURNING name",
                 {password_hash, name}})
           .empty();
  transaction.Commit();
  return changed;
}

std::vector<Account> ListAccounts(archive::Executor& executor) {
  std::vector<Account> accounts;
  for (const archive::Row& row : executor.Run({"SELECT name, role FROM users ORDER BY name", {}})) {
    const std::optional<Role> role = RoleOfCode(TextAt(row, 1));
    if (role) accounts.push_back({TextAt(row, 0), *role});
  }
  return accounts;
}

std::optional<std::pair<Account, std::string>> FindAccount(archive::Executor& executor,
                                                           const std::string& name) {
  const auto rows =
      executor.Run({"SELECT name, role, password_hash FROM users WHERE name = ?", {name}});
  if (rows.empty()) return std::nullopt;
  const std::optional<Role> role = RoleOfCode(TextAt(rows[0], 1));
  if (!role) return std::nullopt;
  return std::make_pair(Account{TextAt(rows[0], 0), *role}, TextAt(rows[0], 2));
}

void AddSession(archive::Executor& executor, const std::string& token_hash, const std::string& name,
                std::int64_t expires_ms) {
  executor.Run({"INSERT INTO sessions (token_hash, user_name, expires_at) VALUES (?, ?, ?)",
                {token_hash, name, expires_ms}});
}

std::optional<Account> SessionAccount(archive::Executor& executor, const std::string& token_hash,
                                      std::int64_t now_ms) {
  const auto rows =
      executor.Run({"SELECT users.name, users.role, sessions.expires_at FROM sessions"
                    " JOIN users ON users.name = sessions.user_name WHERE sessions.token_hash = ?",
                    {token_hash}});
  if (rows.empty()) return std::nullopt;
  if (IntegerAt(rows[0], 2) <= now_ms) {
    EndSession(executor, token_hash);
    return std::nullopt;
  }
  const std::optional<Role> role = RoleOfCode(TextAt(rows[0], 1));
  if (!role) return std::nullopt;
  return Account{TextAt(rows[0], 0), *role};
}

void EndExpiredSessions(archive::Executor& executor, std::int64_t now_ms) {
  executor.Run({"DELETE FROM sessions WHERE expires_at <= ?", {now_ms}});
}

void EndSession(archive::Executor& executor, const std::string& token_hash) {
  executor.Run({"DELETE FROM sessions WHERE token_hash = ?", {token_hash}});
}

}  // namespace qvx::server
