// The configurator's end of a simulated line, as the tests use it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace qvx::sim::testing {

class PortClient {
 public:
  explicit PortClient(const std::string& path)
      : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
  ~PortClient() { Close(); }
  PortClient(const PortClient&) = delete;
  PortClient& operator=(const PortClient&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  bool Write(const std::string& bytes) {
    return write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }
  // Reads until the text read so far ends with `until` (or, with an empty
  // `until`, until the time is up); stops early when the line drops.
  std::string Read(std::chrono::milliseconds timeout, const std::string& until = {}) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    std::string text;
    while (until.empty() || text.size() < until.size() ||
           text.compare(text.size() - until.size(), until.size(), until) != 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd line = {fd_, POLLIN, 0};
      if (poll(&line, 1, static_cast<int>(left.count())) <= 0) break;
      char bytes[512];
      const ssize_t count = read(fd_, bytes, sizeof bytes);
      if (count <= 0) {
        dropped_ = true;
        break;
      }
      text.append(bytes, static_cast<std::size_t>(count));
    }
    return text;
  }
  // Waits until bytes are there to read (or the line dropped), without
  // reading them; false on timeout.
  bool WaitReadable(std::chrono::milliseconds timeout) const {
    pollfd line = {fd_, POLLIN, 0};
    return poll(&line, 1, static_cast<int>(timeout.count())) > 0;
  }
  // True once a read found the line gone.
  bool Dropped() const { return dropped_; }

 private:
  int fd_;
  bool dropped_ = false;
};

}  // namespace qvx::sim::testing
