// The archive file as SQLite holds it: created, reopened, refused when it is
// not this program's or is newer, damaged or locked; nothing half-written.
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <functional>

#include "archive/archive_error.h"
#include "archive/objects.h"
#include "archive/schema.h"
#include "archive/sqlite_archive.h"
#include "archive/sync.h"
#include "config_file/settings_line.h"
#include "settings/memory_settings.h"
#include "tests/support/scratch_folder.h"

namespace qvx::archive {
namespace {

// Runs `sql` on the file through SQLite itself, as another program would.
void RawSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  const int code = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  sqlite3_close(db);
  ASSERT_EQ(code, SQLITE_OK) << (error ? error : "");
}

// Runs `statements` on the file through SQLite itself, as an older version
// of this program did: no upgrade on the way.
void RawStatements(const std::string& path, const std::vector<Statement>& statements) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  for (const Statement& statement : statements) {
    sqlite3_stmt* prepared = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, statement.sql.c_str(), -1, &prepared, nullptr), SQLITE_OK)
        << statement.sql;
    for (std::size_t i = 0; i < statement.params.size(); ++i) {
      const int at = static_cast<int>(i) + 1;
      const Value& value = statement.params[i];
      if (const auto* number = std::get_if<std::int64_t>(&value))
        sqlite3_bind_int64(prepared, at, *number);
      else if (const auto* text = std::get_if<std::string>(&value))
        sqlite3_bind_text(prepared, at, text->c_str(), -1, SQLITE_TRANSIENT);
      else if (const auto* blob = std::get_if<Blob>(&value))
        sqlite3_bind_blob(prepared, at, blob->bytes.data(), static_cast<int>(blob->bytes.size()),
                          SQLITE_TRANSIENT);
    }
    EXPECT_EQ(sqlite3_step(prepared), SQLITE_DONE) << statement.sql;
    sqlite3_finalize(prepared);
  }
  sqlite3_close(db);
}

std::string DefaultLine() {
  return BuildSettingsLine(MemorySettings()).line;
}

Card NumberedCard(const std::string& number) {
  Card card;
  card.number = number;
  card.name = "Иванов";
  card.settings = DefaultLine();
  return card;
}

Failure FailureOpening(const std::string& path, OpenMode mode, int busy_ms = 100) {
  try {
    SqliteArchive db(path, mode, busy_ms);
  } catch (const ArchiveError& error) {
    return error.failure();
  }
  ADD_FAILURE() << path << " opened";
  return Failure::Other;
}

TEST(ArchiveSchema, NewFileIsMarkedAndReopensUnchanged) {
  ScratchFolder folder("archive-schema");
  const std::string path = folder.Path("a.qvxa");
  { SqliteArchive db(path, OpenMode::Create); }
  const std::string first = ScratchFolder::Contents(path);
  SqliteArchive db(path, OpenMode::Create);
  const SchemaState state = SchemaStateOf(db.Run(ReadSchemaState()));
  EXPECT_EQ(state.application_id, kApplicationId);
  EXPECT_EQ(state.version, kSchemaVersion);
  EXPECT_EQ(ScratchFolder::Contents(path), first);  // no second upgrade
}

TEST(ArchiveSchema, APlainDatabaseIsCreatedWithoutTheArchivesTables) {
  ScratchFolder folder("archive-plain");
  const std::string path = folder.Path("server.db");
  {
    SqliteArchive plain(path, OpenMode::Plain);
    EXPECT_EQ(SchemaStateOf(plain.Run(ReadSchemaState())).tables, 0);
    plain.Run({"CREATE TABLE other (x INTEGER)", {}});
  }
  // Another layer's database is no archive, and opening it plainly again changes nothing.
  EXPECT_THROW(SqliteArchive(path, OpenMode::Write), ArchiveError);
  SqliteArchive again(path, OpenMode::Plain);
  EXPECT_EQ(SchemaStateOf(again.Run(ReadSchemaState())).application_id, 0);
  ScratchFolder::Write(folder.Path("damaged.db"), std::string(4096, 'x'));
  EXPECT_THROW(SqliteArchive(folder.Path("damaged.db"), OpenMode::Plain), ArchiveError)
      << "checked whole like any other";
}

TEST(ArchiveSchema, RefusesFilesItCannotTrust) {
  ScratchFolder folder("archive-refused");
  struct Case {
    std::string name;
    std::function<void(const std::string&)> make;
    OpenMode mode;
    Failure failure;
  };
  const auto archive = [](const std::string& path) { SqliteArchive db(path, OpenMode::Create); };
  const Case cases[] = {
      {"newer",
       [&](const std::string& p) {
         archive(p);
         RawSql(p, "PRAGMA user_version = " + std::to_string(kSchemaVersion + 1));
       },
       OpenMode::Create, Failure::Newer},
      {"newer-read",
       [&](const std::string& p) {
         archive(p);
         RawSql(p, "PRAGMA user_version = 7");
       },
       OpenMode::ReadOnly, Failure::Newer},
      {"foreign", [](const std::string& p) { RawSql(p, "CREATE TABLE t (x)"); }, OpenMode::Create,
       Failure::NotArchive},
      {"text", [](const std::string& p) { ScratchFolder::Write(p, std::string(4096, 'x')); },
       OpenMode::Create, Failure::Damaged},
      {"text-read", [](const std::string& p) { ScratchFolder::Write(p, std::string(4096, 'x')); },
       OpenMode::ReadOnly, Failure::Damaged},
      // The header intact, a page of the tables overwritten.
      {"damaged-page",
       [&](const std::string& p) {
         archive(p);
         std::string bytes = ScratchFolder::Contents(p);
         ASSERT_GT(bytes.size(), 8192u);
         for (std::size_t i = 4096; i < 8192; ++i) bytes[i] = static_cast<char>(0x5a);
         ScratchFolder::Write(p, bytes);
       },
       OpenMode::Create, Failure::Damaged},
      {"missing", [](const std::string&) {}, OpenMode::ReadOnly, Failure::Missing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.Path(c.name);
    c.make(path);
    const std::string before = std::filesystem::exists(path) ? ScratchFolder::Contents(path) : "";
    EXPECT_EQ(FailureOpening(path, c.mode), c.failure);
    if (std::filesystem::exists(path)) {
      EXPECT_EQ(ScratchFolder::Contents(path), before);
    }
  }
}

TEST(ArchiveSchema, NewerVersionIsNamedInTheRefusal) {
  try {
    UpgradeStatements({kApplicationId, kSchemaVersion + 1, 2});
    FAIL();
  } catch (const ArchiveError& error) {
    EXPECT_EQ(std::string(error.what()),
              "архив записан более новой версией программы (версия архива 3, эта версия "
              "программы знает до 2): обновите программу");
  }
}

TEST(ArchiveSchema, VersionOneFileKeepsEveryRecordAndAllWaitForTheServer) {
  ScratchFolder folder("archive-v1");
  const std::string path = folder.Path("v1.qvxa");
  Card card = NumberedCard("17");
  card.id = NewId();
  card.created_at = card.changed_at = "2026-11-01T10:00:00.000Z";
  card.version = 3;
  Entry entry;
  entry.id = NewId();
  entry.object_id = card.id;
  entry.at = "2026-11-01T10:05:00.000Z";
  entry.command = std::string(kReadCommand);
  entry.outcome = "readSuccess";
  entry.settings = DefaultLine();
  Entry loose = entry;
  loose.id = NewId();
  loose.object_id = "";
  std::vector<Statement> version1 = StatementsOfVersion(1);
  for (const Statement& row : {InsertCard(card), InsertEntry(entry), InsertEntry(loose)})
    version1.push_back(row);
  RawStatements(path, version1);

  SqliteArchive db(path, OpenMode::Write);
  EXPECT_EQ(SchemaStateOf(db.Run(ReadSchemaState())).version, kSchemaVersion);
  EXPECT_EQ(*FindObject(db, "17"), card);
  EXPECT_EQ(JournalOf(db, card.id), std::vector<Entry>{entry});
  EXPECT_EQ(JournalOf(db, ""), std::vector<Entry>{loose});
  const SyncWaiting waiting = WaitingForSync(db);
  EXPECT_EQ(waiting.entries, 2);
  EXPECT_EQ(waiting.cards, 1);
  EXPECT_EQ(waiting.conflicts, 0);
}

TEST(ArchiveSchema, LockedFileIsBusyAndFreedAfter) {
  ScratchFolder folder("archive-locked");
  const std::string path = folder.Path("a.qvxa");
  { SqliteArchive db(path, OpenMode::Create); }
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(FailureOpening(path, OpenMode::Create, 50), Failure::Busy);
  EXPECT_EQ(FailureOpening(path, OpenMode::ReadOnly, 50), Failure::Busy);
  sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  SqliteArchive db(path, OpenMode::Create, 50);
  EXPECT_TRUE(ListObjects(db).empty());
}

TEST(ArchiveSchema, FailingTransactionLeavesTheFileAsItWas) {
  ScratchFolder folder("archive-atomic");
  const std::string path = folder.Path("a.qvxa");
  {
    SqliteArchive db(path, OpenMode::Create);
    CreateObject(db, NumberedCard("1"), "ivan");
  }
  const std::string before = ScratchFolder::Contents(path);
  {
    SqliteArchive db(path, OpenMode::Create);
    try {
      Transaction transaction(db);
      CreateObject(db, NumberedCard("2"), "ivan");  // a savepoint within
      CreateObject(db, NumberedCard("1"), "ivan");  // the number is taken
      transaction.Commit();
      FAIL();
    } catch (const ArchiveError& error) {
      EXPECT_EQ(error.failure(), Failure::Refused);
      EXPECT_EQ(std::string(error.what()), "номер 1 уже занят объектом «Иванов»");
    }
    ASSERT_EQ(ListObjects(db).size(), 1u);
  }
  EXPECT_EQ(ScratchFolder::Contents(path), before);
}

TEST(ArchiveSchema, JournalEntriesAreNeverChanged) {
  ScratchFolder folder("archive-append");
  const std::string path = folder.Path("a.qvxa");
  SqliteArchive db(path, OpenMode::Create);
  Entry entry;
  entry.command = std::string(kReadCommand);
  entry.outcome = "noData";
  entry.cause = "noData";
  JournalCommand(db, "", entry);
  for (const char* sql : {"UPDATE entries SET port = 'x'", "DELETE FROM entries"}) {
    SCOPED_TRACE(sql);
    EXPECT_THROW(db.Run({sql, {}}), ArchiveError);
  }
  EXPECT_EQ(JournalOf(db, "").size(), 1u);
}

}  // namespace
}  // namespace qvx::archive
