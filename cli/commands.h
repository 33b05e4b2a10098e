// Sub-commands of quorvex-cli. Each takes the arguments after its name and
// returns the process exit code; output goes to stdout, refusals to stderr.
#pragma once

#include <string>
#include <vector>

namespace qvx::cli {

using Args = std::vector<std::string>;

int RunShow(const Args& args);     // show [FILE] [--json]
int RunConvert(const Args& args);  // convert IN OUT
int RunFrame(const Args& args);    // frame FILE
int RunDecode(const Args& args);   // decode [FILE|-]
int RunWrite(const Args& args);    // write FILE --port P
int RunRead(const Args& args);     // read --port P -o FILE

}  // namespace qvx::cli
