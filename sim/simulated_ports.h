// Ports registered by running device simulators, so the port list finds
// them as a virtual port driver's would. A simulator registers its
// pseudo-terminal as a symbolic link in a per-user folder and removes it on
// exit; links of simulators that died are skipped and cleaned up.
//
// The folder may be in /tmp, where another user can make it first. It is
// used only when it is a folder (not a link), belongs to this user and no
// one else may write in it; otherwise nothing in it is listed or removed.
// Only links to a pseudo-terminal of this user (/dev/pts/N) are listed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qvx {

// $XDG_RUNTIME_DIR/quorvex-sim, or /tmp/quorvex-sim-<uid> without it.
// Made with mode 0700 by the first registration.
std::filesystem::path SimulatedPortFolder();

// Registers port_path (a pseudo-terminal such as /dev/pts/5) for this process.
// Returns the link made, or an empty path when the folder cannot be made,
// is refused or cannot be written; then *refusal, when given, says why,
// naming the folder.
std::filesystem::path RegisterSimulatedPort(const std::string& port_path,
                                            std::string* refusal = nullptr);

// Removes what RegisterSimulatedPort made; ignores a missing link, and
// removes nothing but a link in a folder that passes the checks above.
void UnregisterSimulatedPort(const std::filesystem::path& link);

// Port paths of the simulators that are running now, sorted by path.
std::vector<std::string> ListSimulatedPorts();

}  // namespace qvx
