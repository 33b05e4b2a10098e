// quorvex-cli write (placeholder until its command lands).
#include <iostream>

#include "cli/commands.h"

namespace qvx::cli {

int RunWrite(const Args&) {
  std::cerr << "quorvex-cli write: not available yet\n";
  return 2;
}

}  // namespace qvx::cli
