// One owned file descriptor, closed when its owner goes, so that no path out
// of a function (a throw included) leaks it. POSIX only.
#pragma once

#include <unistd.h>

#include <utility>

namespace qvx::sim {

class UniqueFd {
 public:
  UniqueFd() = default;
  // Takes fd over; a negative fd means none.
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  // The descriptor, or -1 when none is held.
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes the held descriptor (if any) and takes fd.
  void Reset(int fd = -1) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }
  // Gives the descriptor up without closing it.
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_ = -1;
};

}  // namespace qvx::sim
