// The server's tables, one schema per dialect: accounts, sessions, login
// failures, the objects and their journal with the change numbers a sync
// reads from, the audit, and the change counter that orders writers.
#pragma once

#include <cstdint>

#include "archive/executor.h"
#include "server/dialect.h"

namespace qvx::server {

// The version this program writes; a database of a higher one is refused.
inline constexpr std::int64_t kServerSchemaVersion = 1;

// Creates the tables in an empty database, or checks the version of one
// this program made. One transaction. Throws ArchiveError: NotArchive for
// a database with other tables ("база данных не принадлежит серверу
// Quorvex"), Newer for a higher version ("база данных записана более новой
// версией сервера ...").
void PrepareServerSchema(archive::Executor& executor, Dialect dialect);

}  // namespace qvx::server
