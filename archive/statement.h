// The words between the archive's rules and an executor: one SQL statement
// with its parameters, and the rows it gives back. The rules build and read
// them without any I/O; the executor (SQLite natively, sqlite-wasm in the
// page) only runs them.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace qvx::archive {

// Bytes stored as a BLOB: a settings line in code page 1251 is no UTF-8 text.
struct Blob {
  std::string bytes;
  bool operator==(const Blob&) const = default;
};

// NULL, INTEGER, TEXT (UTF-8) or BLOB: the only types the archive stores.
using Value = std::variant<std::nullptr_t, std::int64_t, std::string, Blob>;

struct Statement {
  std::string sql;            // one statement, parameters as "?"
  std::vector<Value> params;  // bound to the "?" in order
};

using Row = std::vector<Value>;

}  // namespace qvx::archive
