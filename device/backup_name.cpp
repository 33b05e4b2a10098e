#include "device/backup_name.h"

#include <string_view>

namespace qvx {

std::string SafePortName(const std::string& port) {
  std::string_view name = port;
  if (name.starts_with("/dev/")) name.remove_prefix(5);
  std::string safe;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool refused = byte <= 0x20 || byte == 0x7F ||
                         std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
    safe += refused || (safe.empty() && c == '.') ? '_' : c;
  }
  return safe.empty() ? "port" : safe;
}

std::string BackupFileName(const std::string& port, const std::tm& local) {
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return SafePortName(port) + "-" + stamp + ".qvx";
}

}  // namespace qvx
