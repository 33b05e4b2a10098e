// Pseudo-terminals and a second process for the serial-port tests.
#pragma once

#include <string>

namespace qvx::device::testing {

// A pseudo-terminal whose slave side the code under test opens by Path();
// the test talks through the master side.
class Pty {
 public:
  Pty();  // fails the test (throws) when none can be had
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  const std::string& Path() const { return path_; }
  int Master() const { return master_; }
  void Send(const std::string& bytes);
  // Bytes available on the master within `timeout_ms` (0: only what is there now).
  std::string Take(int timeout_ms);
  // Closes the master: the port sees the line drop.
  void HangUp();

 private:
  int master_ = -1;
  std::string path_;
};

// Another process that holds `port` open through QtSerialPort until the
// object dies. Started from the test binary itself (see RunPortHolder).
class PortHolder {
 public:
  explicit PortHolder(const std::string& port);
  ~PortHolder();
  bool Holding() const { return holding_; }
  int Pid() const { return pid_; }

 private:
  int pid_ = -1;
  int to_child_ = -1;
  bool holding_ = false;
};

// Body of the holder process: opens the port, reports "held" or "failed" on
// stdout, waits for stdin to close. Returns the exit code.
int RunPortHolder(const std::string& port);

}  // namespace qvx::device::testing
