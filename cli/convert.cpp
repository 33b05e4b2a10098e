// quorvex-cli convert (placeholder until its command lands).
#include <iostream>

#include "cli/commands.h"

namespace qvx::cli {

int RunConvert(const Args&) {
  std::cerr << "quorvex-cli convert: not available yet\n";
  return 2;
}

}  // namespace qvx::cli
