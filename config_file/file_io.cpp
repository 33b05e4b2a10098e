#include "config_file/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>

namespace qvx {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kChunk = 64 * 1024;

// Reads chunk by chunk so that a huge input costs at most max_bytes of memory.
FileRead ReadStream(std::istream& in, std::size_t max_bytes, bool stop_at_line_end) {
  FileRead read{ReadStatus::Ok, {}};
  std::string chunk(kChunk, '\0');
  while (true) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) return {ReadStatus::Unreadable, {}};
    const std::string_view piece(chunk.data(), got);
    const std::size_t end = stop_at_line_end ? piece.find_first_of(std::string_view("\r\n\0", 3))
                                             : std::string_view::npos;
    const std::size_t keep = end == std::string_view::npos ? got : end;
    if (read.bytes.size() + keep > max_bytes) return {ReadStatus::TooLong, {}};
    read.bytes.append(piece.substr(0, keep));
    if (end != std::string_view::npos || got < chunk.size()) return read;
  }
}

FileRead ReadBounded(const std::string& path, std::size_t max_bytes, bool stop_at_line_end) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) return {ReadStatus::NotFound, {}};
  // Anything but a regular file (a folder, a pipe that might never end) is refused.
  if (error || status.type() != fs::file_type::regular) return {ReadStatus::Unreadable, {}};

  std::ifstream in(path, std::ios::binary);
  if (!in) return {ReadStatus::Unreadable, {}};
  return ReadStream(in, max_bytes, stop_at_line_end);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Creates a new, empty temporary file next to the target; -1 when impossible.
int CreateTemporary(const fs::path& target, fs::path& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target;
    temporary += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Makes the rename itself durable; a failure here cannot undo the save.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

FileRead ReadFirstLine(const std::string& path, std::size_t max_bytes) {
  return ReadBounded(path, max_bytes, true);
}

FileRead ReadSmallFile(const std::string& path, std::size_t max_bytes) {
  return ReadBounded(path, max_bytes, false);
}

FileRead ReadSmallStream(std::istream& in, std::size_t max_bytes) {
  return ReadStream(in, max_bytes, false);
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  fs::path target(path);
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(target, error))) {
    target = fs::weakly_canonical(target, error);
    if (error) return false;
  }
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && (!S_ISREG(existing.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;

  fs::path temporary;
  const int fd = CreateTemporary(target, temporary);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes);
  if (ok && exists) ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(target.parent_path());
  return true;
}

}  // namespace qvx
