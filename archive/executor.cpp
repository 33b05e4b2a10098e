#include "archive/executor.h"

namespace qvx::archive {

Transaction::Transaction(Executor& executor) : executor_(executor) {
  // IMMEDIATE takes the write lock at once: waiting for it then goes
  // through the busy timeout, where a deferred one could fail half-way.
  executor_.Run({executor_.transactions_ == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT part", {}});
  ++executor_.transactions_;
}

Transaction::~Transaction() {
  if (!open_) return;
  --executor_.transactions_;
  try {
    if (executor_.transactions_ == 0) {
      executor_.Run({"ROLLBACK", {}});
    } else {
      executor_.Run({"ROLLBACK TO part", {}});
      executor_.Run({"RELEASE part", {}});
    }
  } catch (...) {
    // SQLite has rolled back already when a failure ended the transaction.
  }
}

void Transaction::Commit() {
  executor_.Run({executor_.transactions_ == 1 ? "COMMIT" : "RELEASE part", {}});
  --executor_.transactions_;
  open_ = false;
}

}  // namespace qvx::archive
