#include "sim/simulated_ports.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace qvx {
namespace fs = std::filesystem;

namespace {

// Links are named "<pid>"; a link is alive while that process runs.
bool ProcessRuns(const std::string& pid_text) {
  char* end = nullptr;
  const long pid = std::strtol(pid_text.c_str(), &end, 10);
  if (pid <= 0 || end == pid_text.c_str() || *end != '\0') return false;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

fs::path SimulatedPortFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
    return fs::path(runtime) / "quorvex-sim";
  return fs::path("/tmp") / ("quorvex-sim-" + std::to_string(getuid()));
}

fs::path RegisterSimulatedPort(const std::string& port_path) {
  std::error_code error;
  const fs::path folder = SimulatedPortFolder();
  fs::create_directories(folder, error);
  if (error) return {};
  const fs::path link = folder / std::to_string(getpid());
  fs::remove(link, error);
  fs::create_symlink(port_path, link, error);
  return error ? fs::path{} : link;
}

void UnregisterSimulatedPort(const fs::path& link) {
  std::error_code ignored;
  if (!link.empty()) fs::remove(link, ignored);
}

std::vector<std::string> ListSimulatedPorts() {
  std::vector<std::string> ports;
  std::error_code error;
  for (fs::directory_iterator it(SimulatedPortFolder(), error), end; !error && it != end;
       it.increment(error)) {
    const fs::path link = it->path();
    std::error_code link_error;
    if (!fs::is_symlink(it->symlink_status(link_error))) continue;
    const fs::path target = fs::read_symlink(link, link_error);
    if (link_error) continue;
    if (!ProcessRuns(link.filename().string()) || !fs::exists(target, link_error)) {
      fs::remove(link, link_error);  // a simulator that died without cleaning up
      continue;
    }
    ports.push_back(target.string());
  }
  std::sort(ports.begin(), ports.end());
  return ports;
}

}  // namespace qvx
