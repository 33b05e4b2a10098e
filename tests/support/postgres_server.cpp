#include "tests/support/postgres_server.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/program_run.h"

namespace qvx::test {
namespace {

constexpr const char* kBin = "/usr/lib/postgresql/15/bin/";
constexpr const char* kClusterUser = "quorvex";

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

PostgresServer& PostgresServer::Shared() {
  static PostgresServer server;
  return server;
}

bool PostgresServer::Run(const std::vector<std::string>& argv, const std::string& what) {
  std::vector<std::string> command;
  if (!user_.empty()) command = {"runuser", "-u", user_, "--"};
  command.insert(command.end(), argv.begin(), argv.end());
  const std::string log = folder_ + "/" + what + ".out";
  const std::string folder = folder_;
  ProgramIo io;
  io.out = log;
  io.err = log;
  // The cluster's user may not read the test's own working folder.
  io.before_exec = [folder] { return chdir(folder.c_str()) == 0; };
  const Ran ran = RunProgram(command, io);
  if (ran.status == 0) return true;
  failure_ = what + " завершился с кодом " + std::to_string(ran.status) + ": " + Contents(log) +
             Contents(folder_ + "/server.log");
  return false;
}

PostgresServer::PostgresServer() {
  if (!std::filesystem::exists(std::string(kBin) + "initdb")) {
    failure_ = "нет PostgreSQL 15 (пакет postgresql-15)";
    return;
  }
  if (geteuid() == 0) {
    for (const char* name : {"postgres", "nobody"})
      if (getpwnam(name)) {
        user_ = name;
        break;
      }
    if (user_.empty()) {
      skip_ = "нет пользователя postgres или nobody, от которого запустить initdb";
      return;
    }
  }
  char folder[] = "/tmp/qvx-pg-XXXXXX";
  if (!mkdtemp(folder)) {
    failure_ = "не удалось создать временную папку";
    return;
  }
  folder_ = folder;
  if (!user_.empty()) {
    const passwd* owner = getpwnam(user_.c_str());
    if (chown(folder, owner->pw_uid, owner->pw_gid) != 0) {
      failure_ = "не удалось отдать папку " + folder_ + " пользователю " + user_;
      return;
    }
  }
  WatchForTheEnd();  // from here on, whatever ends the process
  const std::string data = folder_ + "/data";
  if (!Run({std::string(kBin) + "initdb", "-D", data, "-U", kClusterUser, "-A", "trust", "-E",
            "UTF8", "--locale=C", "-N"},
           "initdb"))
    return;
  // -w waits until the server accepts connections: no guess at a time.
  running_ =
      Run({std::string(kBin) + "pg_ctl", "-D", data, "-l", folder_ + "/server.log", "-w", "-o",
           "-c listen_addresses='' -k " + folder_ +
               " -c fsync=off -c full_page_writes=off -c synchronous_commit=off",
           "start"},
          "pg_ctl");
}

PostgresServer::~PostgresServer() {
  if (watcher_ > 0) {
    // The watcher stops the cluster and removes its folder once the pipe closes.
    close(watch_pipe_);
    waitpid(watcher_, nullptr, 0);
    return;
  }
  if (running_)
    Run({std::string(kBin) + "pg_ctl", "-D", folder_ + "/data", "-m", "immediate", "-w", "stop"},
        "pg_ctl-stop");
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

void PostgresServer::WatchForTheEnd() {
  // Stops the cluster and removes its folder when this process ends in any
  // way, a test's timeout killing it too: a process of its own waits for
  // the end of a pipe that only this process holds.
  std::string stop;
  if (!user_.empty()) stop = "runuser -u " + user_ + " -- ";
  stop += std::string(kBin) + "pg_ctl -D '" + folder_ +
          "/data' -m immediate -w stop >/dev/null 2>&1;"
          " rm -rf '" +
          folder_ + "'";
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return;
  const pid_t watcher = fork();
  if (watcher == 0) {
    close(ends[1]);
    char byte;
    while (read(ends[0], &byte, 1) != 0) {
    }
    execl("/bin/sh", "sh", "-c", stop.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ends[0]);
  if (watcher < 0) {
    close(ends[1]);
    return;
  }
  watcher_ = watcher;
  watch_pipe_ = ends[1];
}

std::string PostgresServer::NewDatabase() {
  if (!running_) return "";
  const std::string base = std::string("postgresql://") + kClusterUser + "@/";
  const std::string host = "?host=" + folder_;
  PGconn* connection = PQconnectdb((base + "postgres" + host).c_str());
  const std::string name = "t" + std::to_string(++databases_);
  bool made = PQstatus(connection) == CONNECTION_OK;
  if (made) {
    PGresult* result = PQexec(connection, ("CREATE DATABASE " + name).c_str());
    made = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
  }
  if (!made) failure_ = std::string("CREATE DATABASE: ") + PQerrorMessage(connection);
  PQfinish(connection);
  return made ? base + name + host : "";
}

}  // namespace qvx::test
