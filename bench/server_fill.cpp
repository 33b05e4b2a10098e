#include "bench/server_fill.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>

#include "server/accounts.h"
#include "server/database.h"
#include "server/object_store.h"
#include "server/secrets.h"

namespace qvx::bench {
namespace {

using Seconds = std::chrono::duration<double>;
using SteadyClock = std::chrono::steady_clock;

constexpr int kObjectsPerCommit = 1000;

struct SqliteClose {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalize {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
struct PgFinish {
  void operator()(PGconn* connection) const { PQfinish(connection); }
};
struct PgClear {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Sqlite = std::unique_ptr<sqlite3, SqliteClose>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, StatementFinalize>;
using Pg = std::unique_ptr<PGconn, PgFinish>;
using PgResult = std::unique_ptr<PGresult, PgClear>;

Sqlite OpenReading(const std::string& path) {
  sqlite3* db = nullptr;
  const int opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  Sqlite owned(db);
  if (opened != SQLITE_OK) throw std::runtime_error("cannot open " + path);
  return owned;
}

SqliteStatement Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db));
  return SqliteStatement(statement);
}

Pg Connect(const std::string& url) {
  Pg connection(PQconnectdb(url.c_str()));
  if (PQstatus(connection.get()) != CONNECTION_OK)
    throw std::runtime_error(std::string("PostgreSQL: ") + PQerrorMessage(connection.get()));
  return connection;
}

PgResult Exec(PGconn* connection, const std::string& sql, ExecStatusType wanted) {
  PgResult result(PQexec(connection, sql.c_str()));
  if (PQresultStatus(result.get()) != wanted)
    throw std::runtime_error("PostgreSQL: " + sql + ": " + PQerrorMessage(connection));
  return result;
}

// A value of SQLite's row in COPY's text form: "\N" for NULL, bytea as
// "\\x" and hex, text with its backslash and control characters escaped.
void AppendCopyValue(std::string& out, sqlite3_stmt* row, int column) {
  static constexpr char kHex[] = "0123456789abcdef";
  switch (sqlite3_column_type(row, column)) {
    case SQLITE_NULL:
      out += "\\N";
      return;
    case SQLITE_INTEGER:
      out += std::to_string(sqlite3_column_int64(row, column));
      return;
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(row, column));
      const int size = sqlite3_column_bytes(row, column);
      out += "\\\\x";
      for (int i = 0; i < size; ++i) {
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 0xf];
      }
      return;
    }
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
      const int size = sqlite3_column_bytes(row, column);
      for (int i = 0; i < size; ++i) {
        switch (text[i]) {
          case '\\':
            out += "\\\\";
            break;
          case '\n':
            out += "\\n";
            break;
          case '\r':
            out += "\\r";
            break;
          case '\t':
            out += "\\t";
            break;
          default:
            out += text[i];
        }
      }
    }
  }
}

// Every row of `table` from SQLite into the same table of PostgreSQL: the
// two schemas list their columns in one order.
void CopyTable(sqlite3* from, PGconn* to, const std::string& table) {
  Exec(to, "COPY " + table + " FROM STDIN", PGRES_COPY_IN);
  const SqliteStatement rows = Prepare(from, "SELECT * FROM " + table + " ORDER BY rowid");
  const int columns = sqlite3_column_count(rows.get());
  std::string chunk;
  const auto send = [&] {
    if (PQputCopyData(to, chunk.data(), static_cast<int>(chunk.size())) != 1)
      throw std::runtime_error(std::string("COPY: ") + PQerrorMessage(to));
    chunk.clear();
  };
  int step = 0;
  while ((step = sqlite3_step(rows.get())) == SQLITE_ROW) {
    for (int column = 0; column < columns; ++column) {
      if (column > 0) chunk += '\t';
      AppendCopyValue(chunk, rows.get(), column);
    }
    chunk += '\n';
    if (chunk.size() > (1 << 20)) send();
  }
  if (step != SQLITE_DONE) throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(from));
  send();
  if (PQputCopyEnd(to, nullptr) != 1)
    throw std::runtime_error(std::string("COPY: ") + PQerrorMessage(to));
  const PgResult ended(PQgetResult(to));
  if (PQresultStatus(ended.get()) != PGRES_COMMAND_OK)
    throw std::runtime_error("COPY " + table + ": " + PQerrorMessage(to));
  while (PGresult* more = PQgetResult(to)) PQclear(more);
}

std::int64_t SqliteInteger(sqlite3* db, const std::string& sql) {
  const SqliteStatement statement = Prepare(db, sql);
  if (sqlite3_step(statement.get()) != SQLITE_ROW) throw std::runtime_error("SQLite: " + sql);
  return sqlite3_column_int64(statement.get(), 0);
}

double Megabytes(const std::string& path) {
  double bytes = 0;
  for (const char* suffix : {"", "-wal"}) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path + suffix, error);
    if (!error) bytes += static_cast<double>(size);
  }
  return bytes / 1e6;
}

}  // namespace

Filled FillSqlite(const std::string& path, const CompanySize& size) {
  const SteadyClock::time_point start = SteadyClock::now();
  if (!server::StartSecrets()) throw std::runtime_error("libsodium does not start");
  server::Database database(path, 1);
  server::Lease lease = database.Acquire();
  // Room for the indexes of a million entries: the fill is not the measure.
  lease->Run({"PRAGMA cache_size = -524288", {}});
  // One hash for every account: the logins still check it at full cost.
  const std::string hash =
      server::HashPassword(kInstallerPassword, server::PasswordCost::Interactive());
  for (int k = 0; k < size.installers; ++k)
    server::AddAccount(*lease, {InstallerName(k), server::Role::Installer}, hash);
  Filled filled;
  std::optional<archive::Transaction> transaction;
  for (int n = 0; n < size.objects; ++n) {
    if (!transaction) transaction.emplace(*lease);
    const std::int64_t seq = server::NextChange(*lease);
    const archive::Card card = CompanyCard(n);
    server::InsertCardRow(*lease, card, seq);
    for (int k = 0; k < size.entries_per_object; ++k)
      if (!server::InsertEntryRow(*lease, CompanyEntry(card, n, k), seq))
        throw std::runtime_error("an entry id drawn twice");
    if ((n + 1) % kObjectsPerCommit == 0) {
      transaction->Commit();
      transaction.reset();
    }
  }
  if (transaction) transaction->Commit();
  filled.cursor = server::LastChange(*lease);
  lease->Run({"PRAGMA wal_checkpoint(TRUNCATE)", {}});
  filled.seconds = Seconds(SteadyClock::now() - start).count();
  filled.megabytes = Megabytes(path);
  return filled;
}

Filled CopyToPostgres(const std::string& sqlite_path, const std::string& url) {
  const SteadyClock::time_point start = SteadyClock::now();
  { server::Database prepared(url, 1); }
  const Sqlite from = OpenReading(sqlite_path);
  const Pg to = Connect(url);
  Exec(to.get(), "BEGIN", PGRES_COMMAND_OK);
  for (const char* table : {"users", "objects", "entries"}) CopyTable(from.get(), to.get(), table);
  Filled filled;
  filled.cursor = SqliteInteger(from.get(), "SELECT value FROM counter WHERE id = 1");
  Exec(to.get(), "UPDATE counter SET value = " + std::to_string(filled.cursor) + " WHERE id = 1",
       PGRES_COMMAND_OK);
  Exec(to.get(), "COMMIT", PGRES_COMMAND_OK);
  Exec(to.get(), "VACUUM ANALYZE", PGRES_COMMAND_OK);
  filled.seconds = Seconds(SteadyClock::now() - start).count();
  const PgResult size =
      Exec(to.get(), "SELECT pg_database_size(current_database())", PGRES_TUPLES_OK);
  filled.megabytes = std::stod(PQgetvalue(size.get(), 0, 0)) / 1e6;
  return filled;
}

std::vector<std::string> EntryIdsAfter(const std::string& target, std::int64_t after) {
  std::vector<std::string> ids;
  const std::string sql = "SELECT id FROM entries WHERE seq > " + std::to_string(after);
  if (server::IsPostgresUrl(target)) {
    const Pg connection = Connect(target);
    const PgResult rows = Exec(connection.get(), sql, PGRES_TUPLES_OK);
    for (int row = 0; row < PQntuples(rows.get()); ++row)
      ids.emplace_back(PQgetvalue(rows.get(), row, 0));
    return ids;
  }
  const Sqlite db = OpenReading(target);
  const SqliteStatement rows = Prepare(db.get(), sql);
  while (sqlite3_step(rows.get()) == SQLITE_ROW)
    ids.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), 0)));
  return ids;
}

}  // namespace qvx::bench
