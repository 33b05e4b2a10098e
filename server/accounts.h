// Accounts and sessions in the server's database. Names are the installers'
// login names; roles decide what each may do (api_roles.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/executor.h"

namespace qvx::server {

enum class Role { Installer, Senior, Admin };

// "installer", "senior", "admin"; nullopt for any other text.
std::optional<Role> RoleOfCode(const std::string& code);
std::string CodeOf(Role role);
// The role in words: "установщик", "старший установщик", "администратор".
std::string WordsOf(Role role);

struct Account {
  std::string name;
  Role role = Role::Installer;
};

// Why `name` cannot be an account's ("имя не указано", "слишком длинное
// имя", "недопустимый символ в имени"), or "".
std::string NameRefusal(const std::string& name);

// Adds an account. Throws ArchiveError (Refused): "учётная запись «NAME»
// уже есть", or the name's refusal.
void AddAccount(archive::Executor& executor, const Account& account,
                const std::string& password_hash);

// Removes an account and ends its sessions; false when there was none.
bool RemoveAccount(archive::Executor& executor, const std::string& name);

// Gives an account a new password hash and ends its sessions; false when
// there is no such account.
bool SetPasswordHash(archive::Executor& executor, const std::string& name,
                     const std::string& password_hash);

// Every account, by name.
std::vector<Account> ListAccounts(archive::Executor& executor);

// The account of `name` and its password hash, or nullopt.
std::optional<std::pair<Account, std::string>> FindAccount(archive::Executor& executor,
                                                           const std::string& name);

// Keeps a session of `name` by its token's hash until `expires_ms`.
void AddSession(archive::Executor& executor, const std::string& token_hash, const std::string& name,
                std::int64_t expires_ms);

// The account of the session with `token_hash` that has not expired by
// `now_ms`, or nullopt (an expired one is removed).
std::optional<Account> SessionAccount(archive::Executor& executor, const std::string& token_hash,
                                      std::int64_t now_ms);

// Removes every session expired by `now_ms`.
void EndExpiredSessions(archive::Executor& executor, std::int64_t now_ms);

// Ends the session; nothing when there is none.
void EndSession(archive::Executor& executor, const std::string& token_hash);

}  // namespace qvx::server
