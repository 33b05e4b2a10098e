#include "device/system_ports.h"

#include <algorithm>

#if defined(__linux__)
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#else
#include <QSerialPortInfo>
#endif

namespace qvx::device {

#if defined(__linux__)
namespace {

namespace fs = std::filesystem;

bool StartsWith(const std::string& name, std::string_view prefix) {
  return name.compare(0, prefix.size(), prefix) == 0;
}

// A port of the 8250 driver is listed only when hardware answers behind it:
// the driver makes a number of them whether or not the computer has them.
bool Is8250PortPresent(const std::string& name) {
  const int port = open(("/dev/" + name).c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (port < 0) return false;
  serial_struct info{};
  const bool present = ioctl(port, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  close(port);
  return present;
}

bool IsSerialPort(const fs::path& tty) {
  const std::string name = tty.filename().string();
  std::error_code error;
  // Consoles and pseudo-terminals have no device behind them; of those only
  // Bluetooth serial links, virtual null modems and USB gadget ports count.
  if (!fs::exists(tty / "device", error))
    return StartsWith(name, "rfcomm") || StartsWith(name, "tnt") || StartsWith(name, "ttyGS");
  const fs::path driver = fs::read_symlink(tty / "device" / "driver", error);
  if (!error && driver.filename() == "serial8250") return Is8250PortPresent(name);
  return true;
}

}  // namespace

std::vector<std::string> SystemSerialPortNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it("/sys/class/tty", error), end; !error && it != end;
       it.increment(error))
    if (IsSerialPort(it->path())) names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

#else

std::vector<std::string> SystemSerialPortNames() {
  std::vector<std::string> names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    names.push_back(info.portName().toStdString());
  std::sort(names.begin(), names.end());
  return names;
}

#endif

}  // namespace qvx::device
