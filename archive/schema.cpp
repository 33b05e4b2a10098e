#include "archive/schema.h"

#include <span>

#include "archive/archive_error.h"

namespace qvx::archive {
namespace {

// The statements of each version, as that version wrote them: a file is
// brought up by running those above its own in order.

// Version 1. STRICT tables make SQLite itself refuse a value of the wrong
// type, whoever writes. Times are UTC in ISO 8601 with milliseconds, as
// JavaScript's toISOString() gives them, so that text order is time order.
constexpr const char* kVersion1[] = {
    // The card: the rules bump `version` on every change, so that a merge
    // keeps the newer card. search_text and phone_digits are derived from
    // the card and its settings (archive/search.h) and rewritten with it.
    "CREATE TABLE objects ("
    " id TEXT PRIMARY KEY NOT NULL,"
    " number TEXT NOT NULL UNIQUE,"
    " name TEXT NOT NULL,"
    " address TEXT NOT NULL,"
    " phone TEXT NOT NULL,"
    " note TEXT NOT NULL,"
    " settings BLOB NOT NULL,"
    " created_at TEXT NOT NULL,"
    " created_by TEXT NOT NULL,"
    " changed_at TEXT NOT NULL,"
    " changed_by TEXT NOT NULL,"
    " version INTEGER NOT NULL CHECK (version >= 1),"
    " deleted INTEGER NOT NULL CHECK (deleted IN (0, 1)),"
    " search_text TEXT NOT NULL,"
    " phone_digits TEXT NOT NULL"
    ") STRICT",
    "CREATE INDEX objects_by_change ON objects (changed_at)",
    "CREATE INDEX objects_by_name ON objects (name)",
    // The journal: object_id NULL is "Без объекта". No foreign key: a
    // server's sync may bring an entry before its card.
    "CREATE TABLE entries ("
    " id TEXT PRIMARY KEY NOT NULL,"
    " object_id TEXT,"
    " at TEXT NOT NULL,"
    " installer TEXT NOT NULL,"
    " port TEXT NOT NULL,"
    " command TEXT NOT NULL,"
    " outcome TEXT NOT NULL,"
    " cause TEXT NOT NULL,"
    " outcome_text TEXT NOT NULL,"
    " settings BLOB NOT NULL,"
    " differing INTEGER CHECK (differing >= 0)"
    ") STRICT",
    "CREATE INDEX entries_by_object ON entries (object_id, at)",
    // Entries are only ever appended: a sync can then take any new one as it is.
    "CREATE TRIGGER entries_kept_on_update BEFORE UPDATE ON entries"
    " BEGIN SELECT RAISE(ABORT, 'journal entries are never changed'); END",
    "CREATE TRIGGER entries_kept_on_delete BEFORE DELETE ON entries"
    " BEGIN SELECT RAISE(ABORT, 'journal entries are never deleted'); END",
};

// Version 2: what this archive knows of the company's server. Each table
// names records by id only, so a v1 file's records all count as not yet on
// any server, and the records' own tables stay as they were.
constexpr const char* kVersion2[] = {
    // The cursor of the server's changes and the server's origin.
    "CREATE TABLE sync_state ("
    " key TEXT PRIMARY KEY NOT NULL,"
    " value TEXT NOT NULL"
    ") STRICT",
    // Entries the server holds: the entries themselves are never updated.
    "CREATE TABLE entries_sent (id TEXT PRIMARY KEY NOT NULL) STRICT, WITHOUT ROWID",
    // Each card's version on the server, the base of its next push; a card
    // whose own version differs has a change not sent yet.
    "CREATE TABLE cards_synced ("
    " id TEXT PRIMARY KEY NOT NULL,"
    " version INTEGER NOT NULL CHECK (version >= 1)"
    ") STRICT, WITHOUT ROWID",
    // A card changed here and on the server: the server's card kept beside
    // the one here (mine_id) until the installer settles it. Usually both
    // have one id; a new card whose number the server gives another object
    // is a conflict with that one.
    "CREATE TABLE conflicts ("
    " mine_id TEXT PRIMARY KEY NOT NULL,"
    " id TEXT NOT NULL,"
    " number TEXT NOT NULL,"
    " name TEXT NOT NULL,"
    " address TEXT NOT NULL,"
    " phone TEXT NOT NULL,"
    " note TEXT NOT NULL,"
    " settings BLOB NOT NULL,"
    " created_at TEXT NOT NULL,"
    " created_by TEXT NOT NULL,"
    " changed_at TEXT NOT NULL,"
    " changed_by TEXT NOT NULL,"
    " version INTEGER NOT NULL CHECK (version >= 1),"
    " deleted INTEGER NOT NULL CHECK (deleted IN (0, 1))"
    ") STRICT",
};

// The steps from the version before to `version`.
std::span<const char* const> StepsOf(int version) {
  if (version == 1) return kVersion1;
  return kVersion2;
}

std::int64_t IntegerAt(const Row& row, std::size_t column) {
  if (column >= row.size() || !std::holds_alternative<std::int64_t>(row[column]))
    throw ArchiveError(Failure::Damaged, "файл повреждён: неверные сведения о версии архива");
  return std::get<std::int64_t>(row[column]);
}

}  // namespace

Statement ReadSchemaState() {
  return {
      "SELECT (SELECT application_id FROM pragma_application_id),"
      " (SELECT user_version FROM pragma_user_version),"
      " (SELECT count(*) FROM sqlite_schema WHERE type = 'table')",
      {}};
}

SchemaState SchemaStateOf(const std::vector<Row>& rows) {
  if (rows.size() != 1)
    throw ArchiveError(Failure::Damaged, "файл повреждён: неверные сведения о версии архива");
  return {IntegerAt(rows[0], 0), IntegerAt(rows[0], 1), IntegerAt(rows[0], 2)};
}

std::vector<Statement> UpgradeStatements(const SchemaState& state) {
  const bool empty = state.application_id == 0 && state.version == 0 && state.tables == 0;
  if (!empty && state.application_id != kApplicationId)
    throw ArchiveError(Failure::NotArchive, "файл не является архивом объектов");
  if (state.version < 0)
    throw ArchiveError(Failure::Damaged, "файл повреждён: неверная версия архива");
  if (state.version > kSchemaVersion)
    throw ArchiveError(Failure::Newer,
                       "архив записан более новой версией программы (версия архива " +
                           std::to_string(state.version) + ", эта версия программы знает до " +
                           std::to_string(kSchemaVersion) + "): обновите программу");
  if (state.version == kSchemaVersion) return {};
  std::vector<Statement> statements;
  // A marked file of version 0 cannot be: only an empty one starts there.
  for (int version = static_cast<int>(state.version) + 1; version <= kSchemaVersion; ++version)
    for (const char* sql : StepsOf(version)) statements.push_back({sql, {}});
  statements.push_back({"PRAGMA application_id = " + std::to_string(kApplicationId), {}});
  statements.push_back({"PRAGMA user_version = " + std::to_string(kSchemaVersion), {}});
  return statements;
}

std::vector<Statement> StatementsOfVersion(int version) {
  std::vector<Statement> statements;
  for (int step = 1; step <= version && step <= kSchemaVersion; ++step)
    for (const char* sql : StepsOf(step)) statements.push_back({sql, {}});
  statements.push_back({"PRAGMA application_id = " + std::to_string(kApplicationId), {}});
  statements.push_back({"PRAGMA user_version = " + std::to_string(version), {}});
  return statements;
}

}  // namespace qvx::archive
