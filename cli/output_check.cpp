#include "cli/output_check.h"

#include <cstdio>
#include <iostream>

#include "cli/command_line.h"

namespace qvx::cli {

bool OutputWritten(std::string_view command) {
  static bool said = false;
  std::cout.flush();
  if (std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  if (!said) Failure(command, "ошибка записи в стандартный вывод");
  said = true;
  return false;
}

}  // namespace qvx::cli
