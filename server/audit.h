// The audit log: who changed what and when. It never holds a settings
// line, a password or a token: its callers write words and counts only.
#pragma once

#include <string>
#include <vector>

#include "archive/executor.h"

namespace qvx::server {

struct AuditRecord {
  std::string at;      // the stored time form, UTC
  std::string user;    // the account, or the name tried at a failed login
  std::string action;  // in words: "объект изменён", "вход не удался", ...
  std::string object;  // the object's number, or ""
  std::string detail;  // more words: the fields changed, an address, a count
};

// The actions' words, one place for the server and its tests.
namespace audit_action {
inline constexpr const char* kLogin = "вход";
inline constexpr const char* kLoginFailed = "вход не удался";
inline constexpr const char* kLockout = "вход заблокирован";
inline constexpr const char* kLogout = "выход";
inline constexpr const char* kCardCreated = "объект создан";
inline constexpr const char* kCardChanged = "объект изменён";
inline constexpr const char* kCardDeleted = "объект удалён";
inline constexpr const char* kCardRestored = "объект восстановлен";
inline constexpr const char* kEntries = "записи журнала";
inline constexpr const char* kConflict = "конфликт";
inline constexpr const char* kAccountAdded = "учётная запись добавлена";
inline constexpr const char* kAccountRemoved = "учётная запись удалена";
inline constexpr const char* kPasswordSet = "пароль изменён";
}  // namespace audit_action

// Appends a record, its time now unless `record.at` is set.
void Audit(archive::Executor& executor, AuditRecord record);

// The newest `limit` records, newest first.
std::vector<AuditRecord> ReadAudit(archive::Executor& executor, std::int64_t limit);

}  // namespace qvx::server
