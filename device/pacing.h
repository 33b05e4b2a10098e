// How the device link waits: the 1 ms after each byte of a frame and the
// 100 ms between reads. Kept in one place, so that every host paces the same
// way and a platform with coarse sleeps sharpens them here (a Windows build
// would raise the timer resolution in PreciseSleeps).
#pragma once

namespace qvx::device {

// Sleeps until `milliseconds` have passed since the call, against a deadline
// on the monotonic clock: never shorter, and a sleep broken by a signal goes
// on to the same deadline.
void SleepAtLeast(int milliseconds);

// While one lives, the calling thread's sleeps end close to their deadlines,
// for the pauses of a frame (one per byte, 288 for the default settings): on
// Linux its timer slack is lowered from the usual 50 µs to 1 ns, and the last
// 100 µs of each sleep are waited out actively, as the thread would wake up
// late. The previous slack comes back
// when it ends. Scopes may nest.
class PreciseSleeps {
 public:
  PreciseSleeps();
  ~PreciseSleeps();
  PreciseSleeps(const PreciseSleeps&) = delete;
  PreciseSleeps& operator=(const PreciseSleeps&) = delete;

 private:
  long previous_slack_ns_ = -1;
};

}  // namespace qvx::device
