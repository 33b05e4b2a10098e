// The last step of a command that prints its result: a full disk or a closed
// pipe on standard output is a failure, not a success.
#pragma once

#include <string_view>

namespace qvx::cli {

// Flushes standard output; when anything written to it was lost, says so
// under Prefix(command) on stderr (once in a run) and returns false.
bool OutputWritten(std::string_view command);

}  // namespace qvx::cli
