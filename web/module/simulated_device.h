// The simulated device of the page: the simulator's device core on the
// page's clock (milliseconds of performance.now()). Bytes in, bytes out with
// the time they are due; the page moves them as a serial port would.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/device_core.h"

namespace qvx::web {

struct TimedBytes {
  double due_ms = 0;
  std::string bytes;
};

class SimulatedDevice {
 public:
  // Takes bytes that the page wrote at `at_ms`.
  void Receive(std::string_view bytes, double at_ms);
  // Removes and returns what is due by `now_ms`, oldest first.
  std::vector<TimedBytes> TakeDue(double now_ms);
  // When the next bytes are due; a negative number when none are queued.
  double NextDueMs() const;
  // The settings the device holds (stored by the last well-formed frame).
  const MemorySettings& Settings() const { return core_.Settings(); }

 private:
  sim::DeviceCore core_;
};

}  // namespace qvx::web
