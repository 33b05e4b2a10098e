// The archive's words for SQLite's result codes, shared by the native
// executor and the page's (sqlite-wasm reports the same codes).
#pragma once

#include <string>

#include "archive/archive_error.h"

namespace qvx::archive {

// The failure of an SQLite (extended) result code, its detail in brackets
// where the words carry one; `detail` may be empty.
ArchiveError ErrorOfResultCode(int code, const std::string& detail);

}  // namespace qvx::archive
