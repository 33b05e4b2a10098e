// Test helper: while alive, files of this process may grow to a given size
// only, so that a write fails half-way as on a full disk.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstddef>
#include <stdexcept>

namespace qvx {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::size_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &saved_) != 0) throw std::runtime_error("getrlimit");
    saved_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_;
    small.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &small) != 0) throw std::runtime_error("setrlimit");
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, saved_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*saved_handler_)(int) = SIG_DFL;
};

}  // namespace qvx
