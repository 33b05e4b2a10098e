#include "server/database.h"

#include "archive/sqlite_archive.h"
#include "server/postgres_executor.h"
#include "server/schema.h"
#include "server/serial_writes.h"

namespace qvx::server {
namespace {

// How long an SQLite writer queues in the process before "busy": far past
// any one change, so that only a stuck database ends there.
constexpr std::chrono::milliseconds kWriterPatience{60'000};

}  // namespace

bool IsPostgresUrl(const std::string& target) {
  return target.rfind("postgresql://", 0) == 0 || target.rfind("postgres://", 0) == 0;
}

std::string WithoutPassword(const std::string& url) {
  const std::size_t scheme = url.find("://");
  if (scheme == std::string::npos) return url;
  const std::size_t start = scheme + 3;
  const std::size_t at = url.find('@', start);
  const std::size_t slash = url.find('/', start);
  if (at == std::string::npos || (slash != std::string::npos && slash < at)) return url;
  const std::size_t colon = url.find(':', start);
  if (colon == std::string::npos || colon > at) return url;
  return url.substr(0, colon + 1) + "***" + url.substr(at);
}

Lease::Lease(Database& database, std::unique_ptr<archive::Executor> executor)
    : database_(&database), executor_(std::move(executor)) {}

Lease::~Lease() {
  if (executor_) database_->Release(std::move(executor_));
}

Database::Database(const std::string& target, std::size_t connections)
    : target_(target),
      name_(WithoutPassword(target)),
      dialect_(IsPostgresUrl(target) ? Dialect::Postgres : Dialect::Sqlite),
      limit_(connections == 0 ? 1 : connections) {
  std::unique_ptr<archive::Executor> first = Connect();
  if (dialect_ == Dialect::Sqlite) {
    // Readers go on beside a writer, and a commit costs one sync of the log.
    first->Run({"PRAGMA journal_mode = WAL", {}});
  }
  PrepareServerSchema(*first, dialect_);
  open_ = 1;
  idle_.push_back(std::move(first));
}

Database::~Database() = default;

std::unique_ptr<archive::Executor> Database::Connect() {
  if (dialect_ == Dialect::Postgres) return std::make_unique<PostgresExecutor>(target_);
  auto executor = std::make_unique<archive::SqliteArchive>(target_, archive::OpenMode::Plain);
  executor->Run({"PRAGMA synchronous = NORMAL", {}});
  return std::make_unique<SerialWrites>(std::move(executor), sqlite_writers_, kWriterPatience);
}

Lease Database::Acquire() {
  std::unique_lock lock(mutex_);
  released_.wait(lock, [this] { return !idle_.empty() || open_ < limit_; });
  if (!idle_.empty()) {
    std::unique_ptr<archive::Executor> executor = std::move(idle_.back());
    idle_.pop_back();
    return Lease(*this, std::move(executor));
  }
  ++open_;
  lock.unlock();
  try {
    return Lease(*this, Connect());
  } catch (...) {
    lock.lock();
    --open_;
    released_.notify_one();
    throw;
  }
}

void Database::Release(std::unique_ptr<archive::Executor> executor) {
  const auto* postgres = dynamic_cast<const PostgresExecutor*>(executor.get());
  std::lock_guard lock(mutex_);
  if (postgres && !postgres->Connected()) {
    --open_;  // a lost connection is made anew by the next Acquire
  } else {
    idle_.push_back(std::move(executor));
  }
  released_.notify_one();
}

}  // namespace qvx::server
