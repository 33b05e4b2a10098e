// Reading the server's own rows, and the text its fields may hold.
#pragma once

#include <cstdint>
#include <string>

#include "archive/statement.h"

namespace qvx::server {

// The text / integer in `column` of `row`. Throws ArchiveError (Damaged)
// for another type: the server trusts its database no more than its input.
const std::string& TextAt(const archive::Row& row, std::size_t column);
std::int64_t IntegerAt(const archive::Row& row, std::size_t column);

// The single integer of a statement's single row, as IntegerAt.
std::int64_t OnlyInteger(const std::vector<archive::Row>& rows);

// True for UTF-8 without control characters (no NUL, no line end): a
// name, a search, a header's text as the server takes it.
bool IsPlainLine(const std::string& text);

}  // namespace qvx::server
