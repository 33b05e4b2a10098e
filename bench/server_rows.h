// quorvex-server under a company's load, on SQLite and on PostgreSQL side
// by side: the archive filled straight into each database, then the
// server program asked over real HTTP on a loopback port.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "bench/server_company.h"
#include "bench/table.h"

namespace qvx::bench {

// The rows for a company of `size`, measured on the quorvex-server in
// `bin`; PostgreSQL is a scratch cluster of this process's own. Lines
// that explain a row (each search kind's p95, the databases' sizes) go to
// `notes`. Throws std::runtime_error when a database cannot be made or
// the server fails a request.
std::vector<Row> ServerRows(const std::string& bin, const CompanySize& size, std::ostream& notes);

}  // namespace qvx::bench
