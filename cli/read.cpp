// quorvex-cli read (placeholder until its command lands).
#include <iostream>

#include "cli/commands.h"

namespace qvx::cli {

int RunRead(const Args&) {
  std::cerr << "quorvex-cli read: not available yet\n";
  return 2;
}

}  // namespace qvx::cli
