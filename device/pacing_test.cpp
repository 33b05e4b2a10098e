#include "device/pacing.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <algorithm>
#include <chrono>
#include <optional>

namespace qvx::device {
namespace {

using Clock = std::chrono::steady_clock;

// Never shorter than asked, with or without precise sleeps; nothing to wait
// for zero or less. (Only lower bounds: a busy machine may sleep longer.)
TEST(PacingTest, SleepsAtLeastTheTimeAsked) {
  for (bool precise : {false, true}) {
    for (int milliseconds : {-1, 0, 1, 3}) {
      std::optional<PreciseSleeps> scope;
      if (precise) scope.emplace();
      const Clock::time_point start = Clock::now();
      SleepAtLeast(milliseconds);
      const auto slept = Clock::now() - start;
      EXPECT_GE(slept, std::chrono::milliseconds(std::max(milliseconds, 0)))
          << milliseconds << " ms, precise " << precise;
    }
  }
}

// The thread's timer slack is lowered while a scope lives and comes back
// after the outermost one, also when scopes nest.
TEST(PacingTest, PreciseSleepsRestoreTheTimerSlack) {
  const int before = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  {
    const PreciseSleeps outer;
    EXPECT_EQ(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0), 1);
    {
      const PreciseSleeps inner;
      EXPECT_EQ(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0), 1);
    }
    EXPECT_EQ(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0), 1);
  }
  EXPECT_EQ(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0), before);
}

}  // namespace
}  // namespace qvx::device
