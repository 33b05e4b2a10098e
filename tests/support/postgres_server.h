// Test helper: a PostgreSQL 15 cluster of the test process's own, in a
// scratch folder, reached only through a Unix socket there (no TCP port).
// initdb refuses root, so under root it runs as the "postgres" user (or
// "nobody"); under any other user as that user.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace qvx::test {

class PostgresServer {
 public:
  // The process's cluster, started at the first call (initdb, pg_ctl -w),
  // stopped and removed when the process ends, even by a signal.
  static PostgresServer& Shared();

  // True once the cluster answers.
  bool Running() const { return running_; }
  // Why the cluster may not be started here: not root and no such user
  // as the cluster's; "" otherwise. A test skips only for this.
  const std::string& SkipReason() const { return skip_; }
  // Why starting it failed ("" when it runs): a test fails with it.
  const std::string& Failure() const { return failure_; }

  // The libpq URL of a new, empty database ("postgresql://quorvex@/tN?host=DIR").
  // Empty (and Failure() set) when it cannot be made.
  std::string NewDatabase();

  ~PostgresServer();
  PostgresServer(const PostgresServer&) = delete;
  PostgresServer& operator=(const PostgresServer&) = delete;

 private:
  PostgresServer();
  bool Run(const std::vector<std::string>& argv, const std::string& what);
  void WatchForTheEnd();

  std::string folder_;  // the socket and the cluster's files
  std::string user_;    // the system user that runs it; "" for this one
  bool running_ = false;
  std::string skip_, failure_;
  int databases_ = 0;
  pid_t watcher_ = -1;  // stops the cluster when this process ends
  int watch_pipe_ = -1;
};

}  // namespace qvx::test
