// The codecs' speed from the Google Benchmark programs, each against the
// least the same work needs (joining or splitting the same text).
#pragma once

#include <string>
#include <vector>

#include "bench/table.h"

namespace qvx::bench {

// Runs settings_line_bench and device_protocol_bench from `bin`.
std::vector<Row> CodecRows(const std::string& bin);

}  // namespace qvx::bench
