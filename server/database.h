// The server's database: SQLite in the data folder or PostgreSQL by URL,
// as a pool of connections, each serving one request at a time.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "archive/executor.h"
#include "server/dialect.h"

namespace qvx::server {

class Database;

// One connection, held for a short run of statements; back to the pool
// when destroyed.
class Lease {
 public:
  Lease(Database& database, std::unique_ptr<archive::Executor> executor);
  ~Lease();
  Lease(Lease&&) = default;
  Lease(const Lease&) = delete;
  Lease& operator=(const Lease&) = delete;
  archive::Executor& operator*() const { return *executor_; }
  archive::Executor* operator->() const { return executor_.get(); }

 private:
  Database* database_;
  std::unique_ptr<archive::Executor> executor_;
};

class Database {
 public:
  // `target` is a "postgresql://" or "postgres://" URL, or else the path of
  // an SQLite file (created when missing). Connects once and prepares the
  // tables (PrepareServerSchema). Throws ArchiveError with the cause.
  explicit Database(const std::string& target, std::size_t connections = 8);
  ~Database();

  Dialect dialect() const { return dialect_; }
  // The target as it may be shown: a URL's password hidden.
  const std::string& Name() const { return name_; }

  // A connection of its own for the caller; waits while all are in use.
  // Throws ArchiveError when a new one cannot be made.
  Lease Acquire();

 private:
  friend class Lease;
  void Release(std::unique_ptr<archive::Executor> executor);
  std::unique_ptr<archive::Executor> Connect();

  std::string target_;
  std::string name_;
  Dialect dialect_;
  std::size_t limit_;
  std::size_t open_ = 0;  // handed out or idle
  std::vector<std::unique_ptr<archive::Executor>> idle_;
  std::mutex mutex_;
  std::condition_variable released_;
  std::timed_mutex sqlite_writers_;  // SQLite's writers in turn (serial_writes.h)
};

// True when `target` names a PostgreSQL database.
bool IsPostgresUrl(const std::string& target);

// `url` with the password of its user part ("user:secret@") as "***".
std::string WithoutPassword(const std::string& url);

}  // namespace qvx::server
