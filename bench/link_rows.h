// The device link against the simulated device on a pseudo-terminal, through
// the real serial port and the device commands: the write's pacing and the
// read's timing.
#pragma once

#include <vector>

#include "bench/table.h"

namespace qvx::bench {

// `runs` writes of the default frame, timed by the device as the bytes reach it.
std::vector<Row> WritePacingRows(int runs);

// `runs` reads from a device that answers at once.
std::vector<Row> ReadRows(int runs);

}  // namespace qvx::bench
