// SQLite lets one writer in at a time and makes the others poll for the
// lock, each giving up after its busy timeout: twenty installers syncing
// at once then get "busy". The server's own connections therefore queue
// for the write lock in the process instead, in turn.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>

#include "archive/executor.h"

namespace qvx::server {

// An Executor that runs its statements on `inner`, holding `writers`
// from "BEGIN IMMEDIATE" to the outer transaction's COMMIT or ROLLBACK.
// Waits at most `patience` for it, then throws ArchiveError (Busy).
class SerialWrites : public archive::Executor {
 public:
  SerialWrites(std::unique_ptr<archive::Executor> inner, std::timed_mutex& writers,
               std::chrono::milliseconds patience);
  ~SerialWrites() override;

  std::vector<archive::Row> Run(const archive::Statement& statement) override;

 private:
  std::unique_ptr<archive::Executor> inner_;
  std::timed_mutex& writers_;
  std::chrono::milliseconds patience_;
  bool holding_ = false;
};

}  // namespace qvx::server
