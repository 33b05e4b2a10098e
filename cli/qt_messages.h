// Qt's own messages in quorvex-cli: its warnings about the machine
// ("QStandardPaths: XDG_RUNTIME_DIR not set" as root) mean nothing to an
// installer and would mix with the command's output.
#pragma once

namespace qvx::cli {

// From now on Qt's debug, info and warning messages are dropped; critical
// and fatal ones, real errors, go to standard error after "quorvex-cli: ".
void RouteQtMessages();

}  // namespace qvx::cli
