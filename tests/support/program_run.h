// A built program run by a test as a shell would run it: its standard
// streams in files or on a descriptor, its exit status as the shell tells it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qvx::test {

// Where a started program's streams go; stdin always reads as empty.
struct ProgramIo {
  std::string out{};  // stdout into this file (created or emptied); "": /dev/null
  int out_fd = -1;    // instead: this descriptor as stdout (opened close-on-exec)
  std::string err{};  // stderr into this file (created or emptied); "": /dev/null
  // Runs in the child once its streams are set, before the program: what
  // it runs under (limits, user). False ends the child with status 121.
  std::function<bool()> before_exec{};
};

// How a program ended: its exit code, or 128 + the signal that ended it;
// 120 when its streams could not be set up, 122 when it could not be run.
// `out` and `err` hold the files of ProgramIo, when it named them.
struct Ran {
  int status = -1;
  std::string out;
  std::string err;
};

// Starts argv[0] (a path, or a name found on PATH) with `io`. Returns its
// process id, or -1 when no process could be made.
pid_t StartProgram(std::vector<std::string> argv, const ProgramIo& io = {});

// Waits for `pid` to end; its status as Ran::status says.
int WaitProgram(pid_t pid);

// As WaitProgram, for at most `patience`; nothing while it still runs.
std::optional<int> WaitProgramFor(pid_t pid, std::chrono::milliseconds patience);

// Runs argv to its end; the files io names are read into the result.
Ran RunProgram(std::vector<std::string> argv, const ProgramIo& io);

}  // namespace qvx::test
