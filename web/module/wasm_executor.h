// The page's executor of the archive's statements: sqlite-wasm, running in
// the same worker, through a JavaScript object whose run(sql, params) runs
// one statement synchronously and returns { rows } or { code, detail }; the
// values cross as one buffer each way (archive_values.js).
#pragma once

#include <emscripten/val.h>

#include "archive/executor.h"

namespace qvx::web {

class WasmExecutor : public archive::Executor {
 public:
  // `database` has run(sql, params): params a Uint8Array of the encoded
  // values, rows one of the encoded rows (archive_values.js).
  explicit WasmExecutor(emscripten::val database) : database_(std::move(database)) {}
  // Throws ArchiveError with the words of SQLite's result code.
  std::vector<archive::Row> Run(const archive::Statement& statement) override;

 private:
  emscripten::val database_;
};

}  // namespace qvx::web
