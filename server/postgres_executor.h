// The archive's Executor on PostgreSQL through libpq: the company's
// database. Values travel as the archive stores them: TEXT, BIGINT, BYTEA
// for a Blob, NULL.
#pragma once

#include <string>

#include "archive/executor.h"

struct pg_conn;

namespace qvx::server {

class PostgresExecutor : public archive::Executor {
 public:
  // Connects to `url` (a libpq URI or "key=value" string). Throws
  // ArchiveError (Other) with libpq's first line of the cause.
  explicit PostgresExecutor(const std::string& url);
  ~PostgresExecutor() override;
  PostgresExecutor(const PostgresExecutor&) = delete;
  PostgresExecutor& operator=(const PostgresExecutor&) = delete;

  // Runs `statement` with its "?" as $n. Integer and text columns come
  // back as int64 and string, bytea as Blob, NULL as nullptr. "SELECT
  // changes()" answers the rows the last statement changed, as SQLite's.
  // Throws ArchiveError with the server's primary message only: its detail
  // may quote a row's values (a settings line), which must not reach a log.
  std::vector<archive::Row> Run(const archive::Statement& statement) override;

  // False once the connection is lost: a pool then drops it.
  bool Connected() const;

 private:
  pg_conn* connection_ = nullptr;
  std::int64_t changes_ = 0;
};

}  // namespace qvx::server
