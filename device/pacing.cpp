#include "device/pacing.h"

#include <cerrno>
#include <chrono>
#include <thread>

#if defined(__linux__)
#include <sys/prctl.h>
#include <time.h>
#endif

namespace qvx::device {
namespace {

// Sleeps of a PreciseSleeps scope end with this much waited out actively:
// even with the least timer slack a sleeping thread wakes 20 to 100 µs after
// its deadline, which over a frame's pauses (one per byte, 288 for the
// default settings) would add 15 ms or more.
constexpr auto kActiveTail = std::chrono::microseconds(100);

thread_local int precise_scopes = 0;

#if defined(__linux__)
timespec ToTimespec(std::chrono::steady_clock::time_point at) {
  const auto since = at.time_since_epoch();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
  timespec result{};
  result.tv_sec = static_cast<time_t>(seconds.count());
  result.tv_nsec = static_cast<long>(std::chrono::nanoseconds(since - seconds).count());
  return result;
}
#endif

// Sleeps until `at` or a little later.
void SleepUntil(std::chrono::steady_clock::time_point at) {
#if defined(__linux__)
  // steady_clock is CLOCK_MONOTONIC here; an absolute deadline survives signals.
  const timespec deadline = ToTimespec(at);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
#else
  std::this_thread::sleep_until(at);
#endif
}

}  // namespace

void SleepAtLeast(int milliseconds) {
  if (milliseconds <= 0) return;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  if (precise_scopes == 0) {
    SleepUntil(deadline);
    return;
  }
  SleepUntil(deadline - kActiveTail);
  while (Clock::now() < deadline) {
  }
}

PreciseSleeps::PreciseSleeps() {
  ++precise_scopes;
#if defined(__linux__)
  const int slack = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  if (slack >= 0 && prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0) == 0) previous_slack_ns_ = slack;
#endif
}

PreciseSleeps::~PreciseSleeps() {
#if defined(__linux__)
  if (previous_slack_ns_ >= 0)
    prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(previous_slack_ns_), 0, 0, 0);
#endif
  --precise_scopes;
}

}  // namespace qvx::device
