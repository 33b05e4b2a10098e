// Start-up of the configurator against the bare reference window.
#pragma once

#include <string>
#include <vector>

#include "bench/table.h"

namespace qvx::bench {

// Starts `program` and `reference` (both with the first-paint probe) `runs`
// times each, alternately, after one unmeasured start of each; rows for the
// time to the first paint and for the peak resident memory.
std::vector<Row> StartupRows(const std::string& program, const std::string& reference, int runs);

}  // namespace qvx::bench
