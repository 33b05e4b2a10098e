// The archive's statements are written for SQLite; PostgreSQL takes the
// same text but for its parameters ($1, $2, ...) and its BEGIN.
#pragma once

#include <string>

namespace qvx::server {

// `sql` with each "?" outside quoted text and identifiers ('...', "...")
// numbered as $1, $2, ... in order, and SQLite's "BEGIN IMMEDIATE" as a plain
// "BEGIN" (PostgreSQL's writers serialise on the rows they lock instead).
std::string PostgresSql(const std::string& sql);

}  // namespace qvx::server
