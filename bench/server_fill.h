// The company's archive put straight into the server's databases, not
// through HTTP: SQLite through the server's own schema and store code
// (every record checked as a sync checks it), then the same rows copied
// into PostgreSQL by COPY.
#pragma once

#include <cstdint>
#include <string>

#include "bench/server_company.h"

namespace qvx::bench {

struct Filled {
  double seconds = 0;
  std::int64_t cursor = 0;  // the change counter after the fill: a synced page's cursor
  double megabytes = 0;     // the database's size on disk
};

// Creates the SQLite database of quorvex-server at `path` (PrepareServerSchema)
// and stores `size`'s company through InsertCardRow and InsertEntryRow, one
// change number per object, a commit every thousand objects, and the
// installers' accounts. Throws std::runtime_error or ArchiveError.
Filled FillSqlite(const std::string& path, const CompanySize& size);

// Prepares the server's tables in the empty PostgreSQL database at `url`
// (the server's own schema code), copies the users, objects and entries of
// the SQLite database at `sqlite_path` into it by COPY in one transaction,
// sets the change counter to the same value, and runs VACUUM ANALYZE as
// autovacuum would after such a load. Throws std::runtime_error.
Filled CopyToPostgres(const std::string& sqlite_path, const std::string& url);

// The ids of the entries stored after change `after` in the server's
// database at `target` (a file or a PostgreSQL URL), with repeats.
std::vector<std::string> EntryIdsAfter(const std::string& target, std::int64_t after);

}  // namespace qvx::bench
