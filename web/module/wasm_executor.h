// The page's executor of the archive's statements: sqlite-wasm, running in
// the same worker, through a JavaScript object whose run(sql, params) runs
// one statement synchronously and returns { rows } or { code, detail }.
#pragma once

#include <emscripten/val.h>

#include "archive/executor.h"

namespace qvx::web {

class WasmExecutor : public archive::Executor {
 public:
  // `database` has run(sql, params): params and rows hold null, numbers,
  // strings (UTF-8 text) and Uint8Array (blobs).
  explicit WasmExecutor(emscripten::val database) : database_(std::move(database)) {}
  // Throws ArchiveError with the words of SQLite's result code.
  std::vector<archive::Row> Run(const archive::Statement& statement) override;

 private:
  emscripten::val database_;
};

}  // namespace qvx::web
