#include "config_file/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

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

// Creates a new, empty temporary file in the folder open as `folder`, under
// a short name of fixed length, so that a target of the longest allowed name
// can have one. Never through a link: a name that anything holds, a link
// too, is passed over. -1 (errno set) when impossible.
int CreateTemporary(int folder, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const unsigned tag = (static_cast<unsigned>(::getpid()) * 2654435761u) ^ (counter++ * 40503u);
    char name[16];
    std::snprintf(name, sizeof name, ".qvx-%08x", tag);
    temporary = name;
    const int fd =
        ::openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

#ifdef O_PATH
constexpr int kFolderOnly = O_PATH;  // a folder one may not list still takes new files
#else
constexpr int kFolderOnly = O_RDONLY;
#endif

// The folder `path`, open for the *at calls; -1 when it cannot be.
int OpenFolder(const fs::path& folder) {
  return ::open(folder.empty() ? "." : folder.c_str(), kFolderOnly | O_DIRECTORY | O_CLOEXEC);
}

// Makes a rename in the folder durable; a failure here cannot undo the save.
void SyncFolder(int folder) {
  const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes the bytes to the new file and makes them durable; closes it.
bool FillAndClose(int fd, std::string_view bytes) {
  const bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

// Whether the system would let this process follow the link at `link`: in a
// folder everyone may write to that keeps each name to its owner (as /tmp),
// only a link of this user or of the folder's owner. The rule of
// fs.protected_symlinks, kept whatever that setting says: this save resolves
// links itself, where the system cannot apply it.
bool MayFollow(const fs::path& link) {
  struct stat own {};
  struct stat folder {};
  const fs::path parent = link.parent_path();
  if (::lstat(link.c_str(), &own) != 0 || ::stat(parent.empty() ? "." : parent.c_str(), &folder))
    return false;
  const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
  return !shared || own.st_uid == ::geteuid() || own.st_uid == folder.st_uid;
}

// The file a name stands for: through symbolic links, also to a target that
// does not exist yet. Empty when the links go round in a loop or one may not
// be followed (see MayFollow).
fs::path FinalTarget(fs::path path) {
  std::error_code error;
  for (int hops = 0; fs::is_symlink(fs::symlink_status(path, error)); ++hops) {
    if (!MayFollow(path)) return {};
    const fs::path next = fs::read_symlink(path, error);
    if (error || hops == 40) return {};
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

// Gives the temporary file in `folder` the name `name` only while nothing
// holds that name (a file, a folder, a link, even a dangling one): 0, or the
// errno (EEXIST when the name is taken). `moved` tells whether the temporary
// name is gone.
int ClaimName(int folder, const std::string& temporary, const std::string& name, bool& moved) {
  moved = false;
#ifdef RENAME_NOREPLACE
  if (::renameat2(folder, temporary.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0) {
    moved = true;
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
#endif
  // A file system without the rename that never replaces: a hard link fails
  // on a name already there, and does not follow a link at it either.
  return ::linkat(folder, temporary.c_str(), folder, name.c_str(), 0) == 0 ? 0 : errno;
}

// Writes over an existing file in place: for a folder that allows no new
// file. Not atomic; a failure can leave the file cut short.
bool WriteInPlace(const fs::path& target, std::string_view bytes) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
  ok = ok && ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
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
  const fs::path target = FinalTarget(path);
  if (target.empty() || !target.has_filename()) return false;
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && (!S_ISREG(existing.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;

  const int folder = OpenFolder(target.parent_path());
  if (folder < 0) return false;
  std::string temporary;
  const int fd = CreateTemporary(folder, temporary);
  if (fd < 0) {
    const int refused = errno;
    ::close(folder);
    // The folder refuses a new file, but the file itself may be written.
    if (exists && (refused == EACCES || refused == EPERM)) return WriteInPlace(target, bytes);
    return false;
  }
  bool ok = WriteAll(fd, bytes);
  if (ok && exists) {
    // The owner first: changing it may clear the set-id bits the mode restores.
    [[maybe_unused]] const int not_owner = ::fchown(fd, existing.st_uid, existing.st_gid);
    ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  // Within the folder opened above: whatever its path names by now, the file
  // lands where the temporary one was made.
  ok = ok && ::renameat(folder, temporary.c_str(), folder, target.filename().c_str()) == 0;
  if (!ok)
    ::unlinkat(folder, temporary.c_str(), 0);
  else
    SyncFolder(folder);
  ::close(folder);
  return ok;
}

std::string SaveAsNewFile(const std::string& folder_path, std::string_view bytes,
                          const std::function<std::string(int)>& name_for) {
  const int folder = OpenFolder(folder_path);
  if (folder < 0) return {};
  std::string temporary;
  const int fd = CreateTemporary(folder, temporary);
  std::string claimed;
  bool moved = false;
  if (fd >= 0 && FillAndClose(fd, bytes)) {
    for (int n = 1; n <= kMaxNewFileNames; ++n) {
      const std::string name = name_for(n);
      if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        break;  // a name of this folder only
      const int refused = ClaimName(folder, temporary, name, moved);
      if (refused == 0) {
        claimed = name;
        break;
      }
      if (refused != EEXIST) break;
    }
  }
  if (fd >= 0 && !moved) ::unlinkat(folder, temporary.c_str(), 0);
  if (!claimed.empty()) SyncFolder(folder);
  ::close(folder);
  return claimed;
}

}  // namespace qvx
