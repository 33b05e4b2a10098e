// Sub-commands of quorvex-cli. Each takes the arguments after its name and
// returns the process exit code; output goes to stdout, refusals to stderr.
#pragma once

#include <string>
#include <vector>

namespace qvx::cli {

using Args = std::vector<std::string>;

int RunPorts(const Args& args);    // ports [--json]
int RunShow(const Args& args);     // show [FILE] [--json]
int RunDiff(const Args& args);     // diff A [B] [--json]
int RunConvert(const Args& args);  // convert IN OUT
int RunFrame(const Args& args);    // frame FILE
int RunDecode(const Args& args);   // decode [FILE|-]
int RunWrite(const Args& args);    // write FILE --port P... [--verify [--settle MS]]
int RunRead(const Args& args);     // read --port P -o FILE
int RunReport(const Args& args);
int RunArchive(const Args& args);  // archive list|show|import|export FILE ...   // report SOURCE -o
                                   // FILE.html|FILE.pdf [--mask-password]

}  // namespace qvx::cli
