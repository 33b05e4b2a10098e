#include "tests/support/pty_test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <stdexcept>

#include "device/qt_serial_port.h"

namespace qvx::device::testing {

Pty::Pty() {
  int slave = -1;
  if (openpty(&master_, &slave, nullptr, nullptr, nullptr) != 0)
    throw std::runtime_error("no pseudo-terminal");
  termios raw{};
  tcgetattr(slave, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave, TCSANOW, &raw);
  path_ = ttyname(slave);
  close(slave);
  // A program the test starts must not keep the line up after HangUp.
  fcntl(master_, F_SETFD, FD_CLOEXEC);
}

Pty::~Pty() {
  HangUp();
}

void Pty::Send(const std::string& bytes) {
  if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
    throw std::runtime_error("pty write");
}

std::string Pty::Take(int timeout_ms) {
  std::string taken;
  pollfd fd{master_, POLLIN, 0};
  while (poll(&fd, 1, taken.empty() ? timeout_ms : 0) > 0 && (fd.revents & POLLIN)) {
    char buffer[512];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) break;
    taken.append(buffer, static_cast<std::size_t>(n));
  }
  return taken;
}

void Pty::HangUp() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

PortHolder::PortHolder(const std::string& port) {
  int down[2], up[2];
  if (pipe(down) != 0 || pipe(up) != 0) throw std::runtime_error("pipe");
  pid_ = fork();
  if (pid_ == 0) {
    dup2(down[0], STDIN_FILENO);
    dup2(up[1], STDOUT_FILENO);
    close(down[1]);
    close(up[0]);
    execl("/proc/self/exe", "device_port_tests", "--hold-port", port.c_str(), nullptr);
    _exit(127);
  }
  close(down[0]);
  close(up[1]);
  to_child_ = down[1];
  char answer[8] = {};
  const ssize_t n = read(up[0], answer, sizeof answer - 1);
  close(up[0]);
  holding_ = n > 0 && std::string(answer, static_cast<std::size_t>(n)).starts_with("held");
}

PortHolder::~PortHolder() {
  if (to_child_ >= 0) close(to_child_);
  if (pid_ > 0) waitpid(pid_, nullptr, 0);
}

int RunPortHolder(const std::string& port) {
  QtSerialPort serial;
  const bool held = serial.Open(port, "baud=57600 parity=N data=8 stop=1") == OpenResult::Opened;
  std::cout << (held ? "held" : "failed") << std::endl;
  char ignored;
  while (read(STDIN_FILENO, &ignored, 1) > 0) {
  }
  return held ? 0 : 1;
}

}  // namespace qvx::device::testing
