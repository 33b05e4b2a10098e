#include "cli/output_check.h"

#include <cstdio>
#include <iostream>

#include "cli/command_line.h"

namespace qvx::cli {

bool OutputWritten(std::string_view command) {
  std::cout.flush();
  if (std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  Failure(command, "не удалось вывести результат на стандартный вывод");
  return false;
}

}  // namespace qvx::cli
