// The ports of a batch write: the --ports-from list and the check that no
// port is named twice.
#pragma once

#include <string>
#include <vector>

namespace qvx::cli {

// The list file's most bytes: far above any list of real ports.
inline constexpr std::size_t kMaxPortListBytes = std::size_t{1} << 20;

// Appends the ports of the list file `path` to `ports`: one a line, blanks
// around a name dropped, empty lines skipped; "#" starts a comment at the
// start of a line or after a blank ("ttyUSB0#2" is a name). Returns "" on
// success, else what to print, naming the file (and the line of a name with
// a control byte, which would be cut short at it); nothing is appended then.
std::string ReadPortList(const std::string& path, std::vector<std::string>& ports);

// "" when every port is a different device, else the problem: a name given
// twice, or two spellings of one device ("/dev/pts/3", "pts/3", a link),
// both named. Ports that name no device are compared by name.
std::string PortNamedTwice(const std::vector<std::string>& ports);

}  // namespace qvx::cli
