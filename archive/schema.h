// The archive file's tables by version: what a new file gets, how an older
// one is brought up to date, and the refusal of a file this program does not
// know. The version is the database's PRAGMA user_version; PRAGMA
// application_id marks the file as an archive of objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/statement.h"

namespace qvx::archive {

// The version this program writes. A file of a higher one is refused.
inline constexpr int kSchemaVersion = 2;

// "QVXA": an SQLite database with another application id is not an archive.
inline constexpr std::int64_t kApplicationId = 0x51565841;

// The statement whose one row is (application_id, user_version, the number
// of tables in the file).
Statement ReadSchemaState();

struct SchemaState {
  std::int64_t application_id = 0;
  std::int64_t version = 0;
  std::int64_t tables = 0;
};

// Reads the one row of ReadSchemaState(); throws ArchiveError (Damaged) on
// another shape.
SchemaState SchemaStateOf(const std::vector<Row>& rows);

// What opening a file with `state` must do: nothing; create the tables (an
// empty file); run the migration statements up to kSchemaVersion. Throws
// ArchiveError: NotArchive for a database of another program ("файл не
// является архивом объектов"), Newer for a version above kSchemaVersion
// ("архив записан более новой версией программы (версия архива 3, эта
// версия программы знает до 2): обновите программу").
// The statements are to be run in one transaction; the last sets
// user_version.
std::vector<Statement> UpgradeStatements(const SchemaState& state);

// The statements that made a file of `version` (1 ..
// kSchemaVersion) from an empty one, as that version's program ran them:
// for tests of the migrations on a real older file.
std::vector<Statement> StatementsOfVersion(int version);

}  // namespace qvx::archive
