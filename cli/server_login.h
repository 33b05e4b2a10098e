// The options that name the company's server (--server URL, --user NAME,
// --ca-file FILE) and the login they give: the name from --user or
// QUORVEX_USER, the password from QUORVEX_PASSWORD or the first line of
// standard input. The password is never written anywhere.
#pragma once

#include <optional>
#include <string>

#include "cli/command_line.h"
#include "cli/server_link.h"

namespace qvx::cli {

inline constexpr OptionSpec kServerOption{"--server", true};
inline constexpr OptionSpec kUserOption{"--user", true};
inline constexpr OptionSpec kCaFileOption{"--ca-file", true};

// The usage problem of the three options ("--user действует только вместе с
// --server", a malformed URL, --ca-file with http://), or "".
std::string ServerOptionsProblem(const ParsedArgs& parsed);

// The login the options give, or nothing with `problem` set to the usage
// problem (no name, no password). Reads standard input when QUORVEX_PASSWORD
// is not set, asking without echo when it is a terminal.
std::optional<ServerLogin> LoginOf(const ParsedArgs& parsed, std::string& problem);

// Logs in with the options; nothing, with `failure` set to the usage problem
// (`usage` true) or the failure naming the server, when that fails.
std::unique_ptr<ServerLink> LogInBy(const ParsedArgs& parsed, std::string& failure, bool& usage);

}  // namespace qvx::cli
