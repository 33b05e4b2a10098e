#include "server/schema.h"

#include <string>
#include <vector>

#include "archive/archive_error.h"

namespace qvx::server {
namespace {

using archive::ArchiveError;
using archive::Failure;

// Type names per dialect: the statements below are otherwise the same text.
struct Types {
  const char* integer;  // 64 bits
  const char* bytes;
  const char* serial;  // an increasing key of its own
  const char* strict;  // SQLite refuses a value of the wrong type itself
};

constexpr Types kSqliteTypes = {"INTEGER", "BLOB", "INTEGER PRIMARY KEY AUTOINCREMENT", " STRICT"};
constexpr Types kPostgresTypes = {"BIGINT", "BYTEA",
                                  "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY", ""};

std::vector<std::string> Version1(const Types& t) {
  const std::string i = t.integer, strict = t.strict;
  return {
      "CREATE TABLE server_meta (key TEXT PRIMARY KEY NOT NULL, value " + i + " NOT NULL)" + strict,
      // Every changing transaction first raises it, which makes writers
      // wait for each other: commit order is then the order of `seq`, and a
      // reader that has seen `value` has seen every change up to it.
      "CREATE TABLE counter (id " + i + " PRIMARY KEY NOT NULL CHECK (id = 1), value " + i +
          " NOT NULL)" + strict,
      "INSERT INTO counter (id, value) VALUES (1, 0)",
      "CREATE TABLE users (name TEXT PRIMARY KEY NOT NULL,"
      " role TEXT NOT NULL CHECK (role IN ('installer', 'senior', 'admin')),"
      " password_hash TEXT NOT NULL, created_at TEXT NOT NULL)" +
          strict,
      // Only a hash of the token: a copy of the database opens no session.
      "CREATE TABLE sessions (token_hash TEXT PRIMARY KEY NOT NULL, user_name TEXT NOT NULL,"
      " expires_at " +
          i + " NOT NULL)" + strict,
      "CREATE INDEX sessions_by_user ON sessions (user_name)",
      // kind 'name' or 'address'; times in milliseconds since 1970.
      "CREATE TABLE login_failures (kind TEXT NOT NULL, key TEXT NOT NULL, failures " + i +
          " NOT NULL, window_start " + i + " NOT NULL, last_at " + i +
          " NOT NULL, PRIMARY KEY (kind, key))" + strict,
      "CREATE TABLE objects (id TEXT PRIMARY KEY NOT NULL, number TEXT NOT NULL UNIQUE,"
      " name TEXT NOT NULL, address TEXT NOT NULL, phone TEXT NOT NULL, note TEXT NOT NULL,"
      " settings " +
          std::string(t.bytes) +
          " NOT NULL, created_at TEXT NOT NULL, created_by TEXT NOT NULL,"
          " changed_at TEXT NOT NULL, changed_by TEXT NOT NULL,"
          " version " +
          i + " NOT NULL CHECK (version >= 1), deleted " + i +
          " NOT NULL CHECK (deleted IN (0, 1)), search_text TEXT NOT NULL,"
          " phone_digits TEXT NOT NULL, seq " +
          i + " NOT NULL)" + strict,
      // The search walks this, newest change first, and stops at a page:
      // the rows themselves, with their settings, are read only for a page.
      "CREATE INDEX objects_by_search ON objects (deleted, changed_at, seq, id, search_text,"
      " phone_digits)",
      "CREATE INDEX objects_by_seq ON objects (seq)",
      // No foreign key: an entry may come before its card.
      "CREATE TABLE entries (id TEXT PRIMARY KEY NOT NULL, object_id TEXT, at TEXT NOT NULL,"
      " installer TEXT NOT NULL, port TEXT NOT NULL, command TEXT NOT NULL,"
      " outcome TEXT NOT NULL, cause TEXT NOT NULL, outcome_text TEXT NOT NULL,"
      " settings " +
          std::string(t.bytes) + " NOT NULL, differing " + i + " CHECK (differing >= 0), seq " + i +
          " NOT NULL)" + strict,
      "CREATE INDEX entries_by_object ON entries (object_id, at)",
      "CREATE INDEX entries_by_seq ON entries (seq)",
      "CREATE TABLE audit (id " + std::string(t.serial) +
          ", at TEXT NOT NULL, user_name TEXT NOT NULL, action TEXT NOT NULL,"
          " object TEXT NOT NULL, detail TEXT NOT NULL)" +
          strict,
      "INSERT INTO server_meta (key, value) VALUES ('schema_version', 1)",
  };
}

std::int64_t Count(archive::Executor& executor, const std::string& sql) {
  const std::vector<archive::Row> rows = executor.Run({sql, {}});
  if (rows.size() != 1 || rows[0].size() != 1 || !std::holds_alternative<std::int64_t>(rows[0][0]))
    throw ArchiveError(Failure::Damaged, "база данных повреждена: неверные сведения о таблицах");
  return std::get<std::int64_t>(rows[0][0]);
}

}  // namespace

void PrepareServerSchema(archive::Executor& executor, Dialect dialect) {
  archive::Transaction transaction(executor);
  const bool postgres = dialect == Dialect::Postgres;
  // Two servers started at once on one database: the second waits here.
  if (postgres) executor.Run({"SELECT pg_advisory_xact_lock(1364613185)", {}});
  const std::string tables = postgres ? "SELECT count(*) FROM information_schema.tables"
                                        " WHERE table_schema = current_schema()"
                                      : "SELECT count(*) FROM sqlite_schema WHERE type = 'table'"
                                        " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'";
  const std::int64_t table_count = Count(executor, tables);
  const std::int64_t meta = Count(executor, tables + (postgres ? " AND table_name = 'server_meta'"
                                                               : " AND name = 'server_meta'"));
  if (table_count == 0) {
    for (const std::string& sql : Version1(postgres ? kPostgresTypes : kSqliteTypes))
      executor.Run({sql, {}});
    transaction.Commit();
    return;
  }
  if (meta == 0)
    throw ArchiveError(Failure::NotArchive, "база данных не принадлежит серверу Quorvex");
  const std::int64_t version =
      Count(executor, "SELECT value FROM server_meta WHERE key = 'schema_version'");
  if (version > kServerSchemaVersion)
    throw ArchiveError(Failure::Newer, "база данных записана более новой версией сервера (версия " +
                                           std::to_string(version) + ", эта знает до " +
                                           std::to_string(kServerSchemaVersion) +
                                           "): обновите сервер");
  if (version < 1) throw ArchiveError(Failure::Damaged, "база данных повреждена: неверная версия");
  // Later versions add their steps here, each from the one before.
  transaction.Commit();
}

}  // namespace qvx::server
