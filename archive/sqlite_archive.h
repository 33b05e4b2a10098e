// The native executor: an archive file opened through libsqlite3. The only
// files of the tree that include sqlite3.h are this one's .cpp and its test.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "archive/executor.h"

struct sqlite3;
struct sqlite3_stmt;

namespace qvx::archive {

enum class OpenMode {
  ReadOnly,  // the file must exist
  Write,     // the file must exist; prepared (archive/objects.h)
  Create,    // created when missing, then prepared
  // Created when missing and left as it is: a database of another layer
  // (the company's server) that keeps its own tables, not an archive file.
  Plain,
};

// Waits this long for another program's lock before the file counts as busy.
inline constexpr int kDefaultBusyMs = 5000;

class SqliteArchive : public Executor {
 public:
  // Opens `path`. Write and Create prepare the file (PrepareArchive) and first check
  // it whole (PRAGMA quick_check), so that nothing is written into a damaged
  // one. Throws ArchiveError with the cause in words: "архив занят другой
  // программой", "файл повреждён или не является базой данных", "нет такого
  // файла", "нет прав на запись в файл", ... and the refusals of the schema.
  SqliteArchive(const std::string& path, OpenMode mode, int busy_ms = kDefaultBusyMs);
  ~SqliteArchive() override;
  SqliteArchive(const SqliteArchive&) = delete;
  SqliteArchive& operator=(const SqliteArchive&) = delete;

  std::vector<Row> Run(const Statement& statement) override;

 private:
  sqlite3_stmt* Prepared(const std::string& sql);
  [[noreturn]] void Fail(int code) const;

  sqlite3* db_ = nullptr;
  // Prepared once per text: an import runs the same few thousands of times.
  std::map<std::string, sqlite3_stmt*, std::less<>> prepared_;
};

}  // namespace qvx::archive
