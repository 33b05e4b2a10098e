#include "tests/support/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace qvx::test {
namespace {

int OpenForWriting(const std::string& path) {
  return open(path.empty() ? "/dev/null" : path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
              0644);
}

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

int StatusOf(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

pid_t StartProgram(std::vector<std::string> argv, const ProgramIo& io) {
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  // The child: only what may run between fork and exec.
  const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
  const int out = io.out_fd >= 0 ? io.out_fd : OpenForWriting(io.out);
  const int err = OpenForWriting(io.err);
  if (in < 0 || out < 0 || err < 0 || dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0 ||
      dup2(err, STDERR_FILENO) < 0)
    _exit(120);
  if (io.before_exec && !io.before_exec()) _exit(121);
  execvp(args[0], args.data());
  _exit(122);
}

int WaitProgram(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return StatusOf(status);
}

std::optional<int> WaitProgramFor(pid_t pid, std::chrono::milliseconds patience) {
  // The process's descriptor becomes readable once it has ended.
  const int ended = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (ended < 0) return WaitProgram(pid);
  pollfd watch{ended, POLLIN, 0};
  const int ready = poll(&watch, 1, static_cast<int>(patience.count()));
  close(ended);
  if (ready == 0) return std::nullopt;
  return WaitProgram(pid);
}

Ran RunProgram(std::vector<std::string> argv, const ProgramIo& io) {
  Ran ran;
  const pid_t pid = StartProgram(std::move(argv), io);
  if (pid > 0) ran.status = WaitProgram(pid);
  if (io.out_fd < 0 && !io.out.empty()) ran.out = Contents(io.out);
  if (!io.err.empty()) ran.err = Contents(io.err);
  return ran;
}

}  // namespace qvx::test
