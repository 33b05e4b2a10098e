#include "bench/spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <tuple>

extern char** environ;

namespace qvx::bench {
namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Starts argv with stdout on a pipe and stderr into `error_log`; returns
// the pid and the reading end of the pipe.
std::pair<int, int> Start(std::vector<std::string> argv, std::vector<std::string> environment,
                          const std::string& error_log = "/dev/null") {
  for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
  int pipe_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, error_log.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0600);
  std::vector<char*> args = Pointers(argv);
  std::vector<char*> env = Pointers(environment);
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  if (failed != 0) {
    close(pipe_ends[0]);
    throw std::runtime_error("cannot start " + argv[0]);
  }
  return {pid, pipe_ends[0]};
}

}  // namespace

Finished RunProgram(const std::vector<std::string>& argv,
                    const std::vector<std::string>& environment) {
  Finished finished;
  finished.started = Clock::now();
  const auto [pid, out] = Start(argv, environment);
  char buffer[4096];
  for (ssize_t count; (count = read(out, buffer, sizeof buffer)) != 0;) {
    if (count > 0)
      finished.output.append(buffer, static_cast<std::size_t>(count));
    else if (errno != EINTR)
      break;
  }
  close(out);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  finished.ended = Clock::now();
  finished.peak_rss_kb = usage.ru_maxrss;
  for (const timeval& spent : {usage.ru_utime, usage.ru_stime})
    finished.cpu_ms +=
        static_cast<double>(spent.tv_sec) * 1e3 + static_cast<double>(spent.tv_usec) / 1e3;
  if (WIFEXITED(status)) finished.exit_code = WEXITSTATUS(status);
  return finished;
}

Background::Background(const std::vector<std::string>& argv, const std::string& error_log) {
  std::tie(pid_, out_) = Start(argv, {}, error_log);
}

Background::~Background() {
  Stop();
}

std::string Background::FirstLine(std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  while (pending_.find('\n') == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd line = {out_, POLLIN, 0};
    if (left.count() <= 0 || poll(&line, 1, static_cast<int>(left.count())) <= 0) return {};
    char buffer[256];
    const ssize_t count = read(out_, buffer, sizeof buffer);
    if (count <= 0) return {};
    pending_.append(buffer, static_cast<std::size_t>(count));
  }
  return pending_.substr(0, pending_.find('\n'));
}

void Background::Stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }
  if (out_ >= 0) close(out_);
  out_ = -1;
}

}  // namespace qvx::bench
