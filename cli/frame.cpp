// quorvex-cli frame (placeholder until its command lands).
#include <iostream>

#include "cli/commands.h"

namespace qvx::cli {

int RunFrame(const Args&) {
  std::cerr << "quorvex-cli frame: not available yet\n";
  return 2;
}

}  // namespace qvx::cli
