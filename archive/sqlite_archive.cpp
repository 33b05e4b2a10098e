#include "archive/sqlite_archive.h"

#include <sqlite3.h>

#include <filesystem>

#include "archive/archive_error.h"
#include "archive/objects.h"
#include "archive/result_codes.h"

namespace qvx::archive {
namespace {

// The cause of an SQLite result code in the archive's words.
ArchiveError ErrorOf(int code, const char* detail) {
  return ErrorOfResultCode(code, detail ? detail : "");
}

void Bind(sqlite3_stmt* statement, int index, const Value& value) {
  if (std::holds_alternative<std::nullptr_t>(value)) {
    sqlite3_bind_null(statement, index);
  } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
    sqlite3_bind_int64(statement, index, *number);
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()),
                      SQLITE_TRANSIENT);
  } else {
    const std::string& bytes = std::get<Blob>(value).bytes;
    // data() is never null: an empty line is a zero-length blob, not NULL.
    sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
  }
}

Value ColumnValue(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
      return std::int64_t{sqlite3_column_int64(statement, column)};
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      return std::string(text ? text : "", sqlite3_column_bytes(statement, column));
    }
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
      return Blob{std::string(bytes ? bytes : "", sqlite3_column_bytes(statement, column))};
    }
    case SQLITE_FLOAT:
      // The archive stores none; a real in a row is refused by the rules.
      return std::to_string(sqlite3_column_double(statement, column));
    default:
      return nullptr;
  }
}

}  // namespace

SqliteArchive::SqliteArchive(const std::string& path, OpenMode mode, int busy_ms) {
  std::error_code error;
  const bool creates = mode == OpenMode::Create || mode == OpenMode::Plain;
  if (!creates && !std::filesystem::exists(path, error))
    throw ArchiveError(Failure::Missing, "нет такого файла");
  if (std::filesystem::is_directory(path, error))
    throw ArchiveError(Failure::Other, "это папка, а не файл архива");
  const int flags = mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY
                    : creates                  ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                               : SQLITE_OPEN_READWRITE;
  const int opened = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (opened != SQLITE_OK) {
    const ArchiveError failure = ErrorOf(opened, nullptr);
    sqlite3_close(db_);
    db_ = nullptr;
    throw failure;
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, busy_ms);
  try {
    if (mode != OpenMode::ReadOnly) {
      const std::vector<Row> check = Run({"PRAGMA quick_check", {}});
      if (check.empty() || check[0] != Row{Value(std::string("ok"))})
        throw ArchiveError(Failure::Damaged, "архив повреждён");
      if (mode != OpenMode::Plain) PrepareArchive(*this);
    } else {
      CheckArchive(*this);
    }
  } catch (...) {
    for (auto& [sql, prepared] : prepared_) sqlite3_finalize(prepared);
    sqlite3_close(db_);
    throw;
  }
}

SqliteArchive::~SqliteArchive() {
  for (auto& [sql, prepared] : prepared_) sqlite3_finalize(prepared);
  sqlite3_close(db_);
}

void SqliteArchive::Fail(int code) const {
  throw ErrorOf(code, sqlite3_errmsg(db_));
}

sqlite3_stmt* SqliteArchive::Prepared(const std::string& sql) {
  if (const auto found = prepared_.find(sql); found != prepared_.end()) return found->second;
  sqlite3_stmt* statement = nullptr;
  const int code =
      sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr);
  if (code != SQLITE_OK) Fail(code);
  prepared_.emplace(sql, statement);
  return statement;
}

std::vector<Row> SqliteArchive::Run(const Statement& statement) {
  sqlite3_stmt* prepared = Prepared(statement.sql);
  sqlite3_reset(prepared);
  sqlite3_clear_bindings(prepared);
  for (std::size_t i = 0; i < statement.params.size(); ++i)
    Bind(prepared, static_cast<int>(i + 1), statement.params[i]);
  std::vector<Row> rows;
  for (;;) {
    const int step = sqlite3_step(prepared);
    if (step == SQLITE_DONE) break;
    if (step != SQLITE_ROW) {
      sqlite3_reset(prepared);
      Fail(step);
    }
    Row row;
    const int columns = sqlite3_column_count(prepared);
    for (int column = 0; column < columns; ++column) row.push_back(ColumnValue(prepared, column));
    rows.push_back(std::move(row));
  }
  sqlite3_reset(prepared);
  return rows;
}

}  // namespace qvx::archive
