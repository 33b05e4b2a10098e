// quorvex-cli writing one port against eight ports in parallel, each a
// simulated device in its own quorvex-sim process.
#pragma once

#include <string>
#include <vector>

#include "bench/table.h"

namespace qvx::bench {

// Rows for a plain write and for one with --verify; "n/a" rows when the
// quorvex-cli in `bin` cannot write to several ports at once.
std::vector<Row> BatchRows(const std::string& bin, int runs);

}  // namespace qvx::bench
