// Starting the measured programs: their output, exit status, peak memory and
// the moment they were started, on the clock the start-up probe prints.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace qvx::bench {

using Clock = std::chrono::steady_clock;

struct Finished {
  Clock::time_point started;  // just before the program was started
  Clock::time_point ended;    // when it was seen to exit
  int exit_code = -1;         // -1 when killed by a signal or not started
  long peak_rss_kb = 0;       // the largest resident set it had
  double cpu_ms = 0;          // processor time it used, user and system
  std::string output;         // its standard output; standard error is dropped
};

// Runs `argv` (argv[0] a path) with `environment` ("NAME=value") added to this
// process's own, and waits for it.
Finished RunProgram(const std::vector<std::string>& argv,
                    const std::vector<std::string>& environment = {});

// A program that keeps running until Stop(): a simulator, for instance.
class Background {
 public:
  // Its standard error goes into the file `error_log`, appended.
  explicit Background(const std::vector<std::string>& argv,
                      const std::string& error_log = "/dev/null");
  ~Background();  // Stop()
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;

  // The first line the program printed, waiting at most `timeout`; empty
  // when it printed none.
  std::string FirstLine(std::chrono::milliseconds timeout);
  // Ends the program with SIGTERM and waits for it.
  void Stop();
  // The program's process id, for its /proc entries; -1 once stopped.
  int Pid() const { return pid_; }

 private:
  int pid_ = -1;
  int out_ = -1;
  std::string pending_;
};

}  // namespace qvx::bench
