#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>

#include "device/port_causes.h"
#include "device/port_guard.h"

namespace qvx::device {
namespace {

// The device number of this process's controlling terminal; 0 when none.
dev_t ControllingTerminal() {
  std::ifstream stat_file("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(stat_file)), {});
  const std::size_t after_name = stat.rfind(')');  // the name may hold blanks
  if (after_name == std::string::npos) return 0;
  std::istringstream fields(stat.substr(after_name + 1));
  std::string state;
  long long parent = 0, group = 0, session = 0, terminal = 0;
  fields >> state >> parent >> group >> session >> terminal;
  return static_cast<dev_t>(terminal);
}

// The folders where the serial port (and other programs, by the same old
// convention) keep "LCK..name" lock files, in the order the port looks.
constexpr const char* kLockFolders[] = {
    "/var/lock", "/etc/locks", "/var/spool/locks",  "/var/spool/uucp",
    "/tmp",      "/var/tmp",   "/var/lock/lockdev", "/run/lock",
};

// The name of the port's lock file: "LCK.." and the port's path, "/dev/"
// dropped and every "/" as "_".
std::string LockFileName(const std::string& path) {
  std::string name = "LCK.." + (path.starts_with("/dev/") ? path.substr(5) : path);
  for (char& c : name)
    if (c == '/') c = '_';
  return name;
}

// The running process, other than this one, that a lock file names for the
// port at `path`; 0 when none. Lock files hold the process id as text,
// padded with blanks by some programs.
long LockHolder(const std::string& path) {
  const std::string name = LockFileName(path);
  for (const char* folder : kLockFolders) {
    std::ifstream lock(std::string(folder) + "/" + name);
    long pid = 0;
    if (!(lock >> pid) || pid <= 0 || pid == static_cast<long>(::getpid())) continue;
    // A process that exists but is not ours to signal still holds the port.
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM) return pid;
  }
  return 0;
}

}  // namespace

std::string PortPath(const std::string& name) {
  if (name.starts_with('/') || name.starts_with("./") || name.starts_with("../")) return name;
  return "/dev/" + name;
}

std::string NotAPort(const std::string& path) {
  struct stat device {};
  if (::stat(path.c_str(), &device) != 0) return {};  // the open says why
  if (!S_ISCHR(device.st_mode)) return std::string(kNotATerminal);
  // /dev/tty, /dev/console, /dev/ptmx (major 5), virtual consoles (major 4,
  // minors below 64); pseudo-terminal slaves are allowed.
  const unsigned major_number = major(device.st_rdev);
  if (major_number == 5 || (major_number == 4 && minor(device.st_rdev) < 64))
    return "это консоль, а не последовательный порт";
  if (device.st_rdev == ControllingTerminal()) return "это терминал, в котором работает программа";
  return {};
}

PortFailure ClaimOpenPort(std::intptr_t handle) {
  const int descriptor = static_cast<int>(handle);
  if (!::isatty(descriptor)) return {Cause::OpenOther, std::string(kNotATerminal)};
  // The kernel lets root past the exclusive open; this lock holds for every
  // program of ours, whoever runs it.
  if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) return {Cause::Busy, std::string(kPortBusy)};
  return {};
}

PortFailure WhyOpenRefused(const std::string& path) {
  if (const long holder = LockHolder(path); holder != 0)
    return {Cause::Busy, std::string(kPortBusy) + " (процесс " + std::to_string(holder) + ")"};
  // The serial port takes its lock file before it opens the device, and a
  // lock it cannot take comes back as refused too: for a device that is not
  // there, or a name too long for a lock file.
  struct stat device {};
  if (::stat(path.c_str(), &device) != 0 &&
      (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG))
    return {Cause::Missing, std::string(kNoSuchDevice)};
  if (LockFileName(path).size() > NAME_MAX) return {Cause::OpenOther, "слишком длинное имя порта"};
  if (::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES)
    return {Cause::Denied, std::string(kPermissionDenied)};
  // Opened by another program exclusively, without a lock file to name it.
  return {Cause::Busy, std::string(kPortBusy)};
}

bool MeansPortGone(const std::string& system_text) {
  // An unplugged adapter or a hung-up line: the port's writes fail with
  // these, and the driver's ioctls on a vanished line with ENOTTY.
  for (const int gone : {ENXIO, EIO, ENODEV, ENOTTY})
    if (system_text == std::strerror(gone)) return true;
  return false;
}

std::optional<std::uint64_t> PortDeviceNumber(const std::string& name) {
  struct stat device {};
  if (::stat(PortPath(name).c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(device.st_rdev);
}

}  // namespace qvx::device
