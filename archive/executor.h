// What the archive's rules need of a database: to run one statement. The
// native executor is sqlite_archive.h; the page's runs the same statements on
// sqlite-wasm.
#pragma once

#include <vector>

#include "archive/statement.h"

namespace qvx::archive {

class Executor {
 public:
  virtual ~Executor() = default;
  // Runs `statement` to its end and returns its rows. Throws ArchiveError
  // (archive/archive_error.h) with the cause when the database refuses it.
  virtual std::vector<Row> Run(const Statement& statement) = 0;

 private:
  friend class Transaction;
  int transactions_ = 0;  // Transactions open on it, the outer one first
};

// Runs statements as one transaction: BEGIN IMMEDIATE on construction,
// COMMIT by Commit(), ROLLBACK when destroyed uncommitted (an exception on
// the way), so that nothing is half-written. Within another Transaction on
// the same executor it is a savepoint: its own failure undoes only its part.
class Transaction {
 public:
  explicit Transaction(Executor& executor);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  Executor& executor_;
  bool open_ = true;
};

}  // namespace qvx::archive
