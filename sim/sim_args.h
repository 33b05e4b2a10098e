// Command line of quorvex-sim.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_options.h"

namespace qvx::sim {

extern const std::string_view kSimUsage;

struct SimArgs {
  SimOptions options;
  std::string load_file;   // --load FILE.qvx; empty for the defaults
  std::string log_file;    // --log FILE; empty for stderr
  bool log_bytes = false;  // --log-bytes: one log line per byte
  bool help = false;
};

// Parses the arguments after the program name. Returns an empty string on
// success, else a message naming the offending argument.
std::string ParseSimArgs(const std::vector<std::string>& args, SimArgs& parsed);

}  // namespace qvx::sim
