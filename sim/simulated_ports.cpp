#include "sim/simulated_ports.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "sim/unique_fd.h"

namespace qvx {
namespace fs = std::filesystem;
using sim::UniqueFd;

namespace {

// Links are named "<pid>"; a link is alive while that process runs.
bool ProcessRuns(const std::string& pid_text) {
  char* end = nullptr;
  const long pid = std::strtol(pid_text.c_str(), &end, 10);
  if (pid <= 0 || pid > INT_MAX || end == pid_text.c_str() || *end != '\0') return false;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// The folder, opened without following a link, when it is one this user
// alone can change. In /tmp another user may have made it first (as a link
// to a folder of ours, or as a folder they can fill); such a folder is
// neither read nor cleaned. Otherwise an invalid descriptor, and why in
// *refusal when given.
UniqueFd OpenRegistry(const fs::path& folder, std::string* refusal) {
  const auto refuse = [&](const std::string& why) {
    if (refusal) *refusal = folder.string() + ": " + why;
    return UniqueFd();
  };
  UniqueFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!dir.Valid()) {
    const int error = errno;
    struct stat entry {};
    if (lstat(folder.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode))
      return refuse("is a symbolic link");
    if (error == ENOTDIR) return refuse("is not a folder");
    return refuse(std::strerror(error));
  }
  // Checked on the opened folder itself, so a swap after the open changes nothing.
  struct stat opened {};
  if (fstat(dir.Get(), &opened) != 0) return refuse(std::strerror(errno));
  if (!S_ISDIR(opened.st_mode)) return refuse("is not a folder");
  if (opened.st_uid != geteuid()) return refuse("belongs to another user");
  if (opened.st_mode & (S_IWGRP | S_IWOTH)) return refuse("is writable by other users");
  return dir;
}

// Removes `name` from the opened folder only when it is a symbolic link.
void RemoveLinkAt(int dir, const std::string& name) {
  struct stat entry {};
  if (fstatat(dir, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(entry.st_mode))
    unlinkat(dir, name.c_str(), 0);
}

// The target of the link `name`, or empty when it is not a link.
std::string LinkTarget(int dir, const std::string& name) {
  char target[PATH_MAX];
  const ssize_t size = readlinkat(dir, name.c_str(), target, sizeof target);
  if (size <= 0 || static_cast<std::size_t>(size) >= sizeof target) return {};
  return {target, static_cast<std::size_t>(size)};
}

// "/dev/pts/N" of this user: what a simulator registers. A link to anything
// else (a terminal of another user, a file, a device) is no simulator's port,
// and a port offered in the list may be sent the settings, password included.
bool IsOwnPseudoTerminal(const std::string& path) {
  constexpr std::string_view kPrefix = "/dev/pts/";
  if (!path.starts_with(kPrefix) || path.size() == kPrefix.size() ||
      !std::all_of(path.begin() + kPrefix.size(), path.end(),
                   [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  struct stat device {};
  return stat(path.c_str(), &device) == 0 && S_ISCHR(device.st_mode) &&
         device.st_uid == getuid();  // grantpt gives the terminal to the real user
}

}  // namespace

fs::path SimulatedPortFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
    return fs::path(runtime) / "quorvex-sim";
  return fs::path("/tmp") / ("quorvex-sim-" + std::to_string(getuid()));
}

fs::path RegisterSimulatedPort(const std::string& port_path, std::string* refusal) {
  const fs::path folder = SimulatedPortFolder();
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    if (refusal) *refusal = folder.string() + ": " + std::strerror(errno);
    return {};
  }
  const UniqueFd dir = OpenRegistry(folder, refusal);
  if (!dir.Valid()) return {};
  const std::string name = std::to_string(getpid());
  RemoveLinkAt(dir.Get(), name);  // left by an earlier process of the same id
  if (symlinkat(port_path.c_str(), dir.Get(), name.c_str()) != 0) {
    if (refusal) *refusal = (folder / name).string() + ": " + std::strerror(errno);
    return {};
  }
  return folder / name;
}

void UnregisterSimulatedPort(const fs::path& link) {
  if (link.empty()) return;
  const UniqueFd dir = OpenRegistry(link.parent_path(), nullptr);
  if (dir.Valid()) RemoveLinkAt(dir.Get(), link.filename().string());
}

std::vector<std::string> ListSimulatedPorts() {
  std::vector<std::string> ports;
  const UniqueFd dir = OpenRegistry(SimulatedPortFolder(), nullptr);
  if (!dir.Valid()) return ports;
  UniqueFd listed(dup(dir.Get()));
  if (!listed.Valid()) return ports;
  const std::unique_ptr<DIR, int (*)(DIR*)> stream(fdopendir(listed.Get()), closedir);
  if (!stream) return ports;
  listed.Release();  // the stream owns it now
  while (const dirent* entry = readdir(stream.get())) {
    const std::string name = entry->d_name;
    const std::string target = LinkTarget(dir.Get(), name);
    if (target.empty()) continue;  // not a link: not ours to list or remove
    struct stat pointed {};
    const bool dangling = fstatat(dir.Get(), name.c_str(), &pointed, 0) != 0 && errno == ENOENT;
    if (!ProcessRuns(name) || dangling) {
      RemoveLinkAt(dir.Get(), name);  // a simulator that died without cleaning up
      continue;
    }
    if (IsOwnPseudoTerminal(target)) ports.push_back(target);
  }
  std::sort(ports.begin(), ports.end());
  return ports;
}

}  // namespace qvx
