#include "server/serial_writes.h"

#include "archive/archive_error.h"

namespace qvx::server {

SerialWrites::SerialWrites(std::unique_ptr<archive::Executor> inner, std::timed_mutex& writers,
                           std::chrono::milliseconds patience)
    : inner_(std::move(inner)), writers_(writers), patience_(patience) {}

SerialWrites::~SerialWrites() {
  if (holding_) writers_.unlock();
}

std::vector<archive::Row> SerialWrites::Run(const archive::Statement& statement) {
  if (statement.sql == "BEGIN IMMEDIATE" && !holding_) {
    if (!writers_.try_lock_for(patience_))
      throw archive::ArchiveError(archive::Failure::Busy,
                                  "база данных занята: запись ждёт слишком долго");
    holding_ = true;
    try {
      return inner_->Run(statement);
    } catch (...) {
      holding_ = false;
      writers_.unlock();
      throw;
    }
  }
  const bool ends = statement.sql == "COMMIT" || statement.sql == "ROLLBACK";
  if (!ends || !holding_) return inner_->Run(statement);
  // A failed COMMIT leaves the transaction open: its ROLLBACK lets go.
  std::vector<archive::Row> rows;
  try {
    rows = inner_->Run(statement);
  } catch (...) {
    if (statement.sql == "ROLLBACK") {
      holding_ = false;
      writers_.unlock();
    }
    throw;
  }
  holding_ = false;
  writers_.unlock();
  return rows;
}

}  // namespace qvx::server
