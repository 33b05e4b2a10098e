// The runner carries each step out as the engine wrote it, on the host's
// clock: a fake port and a host whose clock only its pauses move.
#include "device/command_runner.h"

#include <gtest/gtest.h>

#include "device/write_frame.h"
#include "settings/memory_settings.h"
#include "sim/reply_text.h"
#include "tests/support/fake_link.h"

namespace qvx::device {
namespace {

using testing::FakePort;
using testing::RecordingHost;

// A verified write: the frame paced by its Send, the recording waited out in
// the Wait's slices, the read-back collected at the Collect's pace until its
// time, every figure the step's own.
TEST(CommandRunner, CarriesEachStepOutAtItsOwnPaceUntilItsTime) {
  FakePort port;
  RecordingHost host;
  host.now_ms = 1000;
  DeviceLink link(port, host);
  MemorySettings settings;
  CommandView view;
  const std::string frame = BuildWriteFrame(settings).frame;
  port.reads = {"", sim::BuildReply(settings).value()};
  CommandEngine engine(Command::WriteVerify, settings, {.recording_ms = 120});

  std::vector<Step> seen;
  const auto outcome = RunCommand(engine, link, settings, view, "ttyUSB0", [&](const Step& step) {
    seen.push_back(step);
    return true;
  });
  EXPECT_EQ(outcome, Outcome::VerifyEqual);
  EXPECT_EQ(port.written, frame + "A5A6");

  std::vector<int> expected(frame.size(), kPauseAfterWriteMs);        // a pause after each byte
  expected.insert(expected.end(), {kWaitSliceMs, kWaitSliceMs, 20});  // 120 ms in slices
  expected.push_back(kPauseAfterWriteMs);                             // after the request
  // The window's 2000 ms at one read every 100 ms; the time is told after a turn.
  expected.insert(expected.end(), kReceptionWindowMs / kPauseBetweenReadsMs, kPauseBetweenReadsMs);
  EXPECT_EQ(host.pauses, expected);
  EXPECT_EQ(port.read_sizes,
            std::vector<std::size_t>(kReceptionWindowMs / kPauseBetweenReadsMs, kReadChunk));

  // The times the runner waited for are the ones the steps carried.
  double wait_until = 0, collect_until = 0;
  for (const Step& step : seen) {
    if (step.kind == Step::Kind::Wait) wait_until = step.until_ms;
    if (step.kind == Step::Kind::Collect) collect_until = step.until_ms;
  }
  EXPECT_EQ(wait_until, 1000 + static_cast<double>(frame.size()) + 120);
  EXPECT_EQ(collect_until, wait_until + kPauseAfterWriteMs + kReceptionWindowMs);
  EXPECT_EQ(host.now_ms, collect_until);
}

// A failed write reaches the engine as the port says it failed; a window,
// which does not tell them apart, has every one of them a failed write.
TEST(CommandRunner, AFailedWriteIsWhatThePortSaysItWas) {
  const struct {
    Cause port_says;
    Event::Kind told;
    Event::Kind told_window;
  } cases[] = {
      {Cause::Lost, Event::Kind::Lost, Event::Kind::WriteFailed},
      {Cause::WriteTimedOut, Event::Kind::WriteTimedOut, Event::Kind::WriteFailed},
      {Cause::WriteFailed, Event::Kind::WriteFailed, Event::Kind::WriteFailed},
      {Cause::None, Event::Kind::WriteFailed, Event::Kind::WriteFailed},
  };
  for (const auto& c : cases) {
    const PortFailure failure{c.port_says, "Input/output error"};
    const Event told = WriteFailureEvent(failure, true, 5);
    EXPECT_EQ(told.kind, c.told);
    EXPECT_EQ(told.system_text, "Input/output error");
    EXPECT_EQ(told.now_ms, 5);
    EXPECT_EQ(WriteFailureEvent(failure, false, 5).kind, c.told_window);
  }
}

}  // namespace
}  // namespace qvx::device
