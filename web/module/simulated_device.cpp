#include "simulated_device.h"

#include <chrono>

namespace qvx::web {
namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;

sim::Clock::time_point At(double ms) {
  return sim::Clock::time_point(std::chrono::duration_cast<sim::Clock::duration>(Milliseconds(ms)));
}

double Ms(sim::Clock::time_point at) {
  return Milliseconds(at.time_since_epoch()).count();
}

}  // namespace

void SimulatedDevice::Receive(std::string_view bytes, double at_ms) {
  core_.Receive(bytes, At(at_ms));
}

std::vector<TimedBytes> SimulatedDevice::TakeDue(double now_ms) {
  std::vector<TimedBytes> due;
  for (sim::Emission& emission : core_.TakeDue(At(now_ms)))
    due.push_back({Ms(emission.due), std::move(emission.bytes)});
  return due;
}

double SimulatedDevice::NextDueMs() const {
  const sim::Clock::time_point next = core_.NextDue();
  return next == sim::Clock::time_point::max() ? -1 : Ms(next);
}

}  // namespace qvx::web
