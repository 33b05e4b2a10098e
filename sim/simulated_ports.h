// Ports registered by running device simulators, so the port list finds
// them as a virtual port driver's would. A simulator registers its
// pseudo-terminal as a symbolic link in a per-user runtime folder and removes
// it on exit; links of simulators that died are skipped and cleaned up.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qvx {

// $XDG_RUNTIME_DIR/quorvex-sim, or /tmp/quorvex-sim-<uid> without it.
std::filesystem::path SimulatedPortFolder();

// Registers port_path (a pseudo-terminal such as /dev/pts/5) for this process.
// Returns the link made, or an empty path when the folder cannot be written.
std::filesystem::path RegisterSimulatedPort(const std::string& port_path);

// Removes what RegisterSimulatedPort made; ignores a missing link.
void UnregisterSimulatedPort(const std::filesystem::path& link);

// Port paths of the simulators that are running now, sorted by path.
std::vector<std::string> ListSimulatedPorts();

}  // namespace qvx
