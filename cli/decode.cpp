// quorvex-cli decode (placeholder until its command lands).
#include <iostream>

#include "cli/commands.h"

namespace qvx::cli {

int RunDecode(const Args&) {
  std::cerr << "quorvex-cli decode: not available yet\n";
  return 2;
}

}  // namespace qvx::cli
