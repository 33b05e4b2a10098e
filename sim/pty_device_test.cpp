#include "sim/pty_device.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <future>
#include <memory>
#include <thread>

#include "sim/reply_text.h"
#include "tests/support/port_client_test_util.h"
#include "tests/support/test_frames.h"

namespace qvx::sim {
namespace {

using namespace std::chrono_literals;
using testing::PortClient;

// Generous: only a broken device takes this long.
constexpr auto kPatience = 5s;

std::string DefaultReply() {
  return *BuildReply(MemorySettings());
}

TEST(PtyDeviceTest, AnswersReadRequestOnThePort) {
  PtyDevice device;
  PortClient port(device.Path());
  ASSERT_TRUE(port.IsOpen());
  ASSERT_TRUE(port.Write("A5A6"));
  EXPECT_EQ(port.Read(kPatience, "#\r\n"), DefaultReply());
  EXPECT_EQ(device.ReceivedText(), "A5A6");
  const auto received = device.Received();
  EXPECT_TRUE(std::is_sorted(received.begin(), received.end(),
                             [](const TimedByte& a, const TimedByte& b) { return a.at < b.at; }));

  MemorySettings changed;
  changed.SetText("Edit30", "8080");
  device.SetSettings(changed);
  ASSERT_TRUE(port.Write("A5A6"));
  EXPECT_EQ(port.Read(kPatience, "#\r\n"), *BuildReply(changed));
}

TEST(PtyDeviceTest, StoresFrameSentByteByByte) {
  PtyDevice device;
  PortClient port(device.Path());
  const std::string frame = testing::Frame(testing::kChangedBlock, testing::kChangedTexts);
  for (char byte : frame) {
    ASSERT_TRUE(port.Write(std::string(1, byte)));
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_TRUE(device.WaitForFrames(1, kPatience));
  EXPECT_EQ(device.FramesStored(), 1);
  EXPECT_EQ(device.ReceivedText(), frame);
  EXPECT_EQ(device.Settings().SliderPosition("TrackBar2"), 42);
  const auto notes = device.Notes();
  EXPECT_NE(std::find(notes.begin(), notes.end(), "three long beeps"), notes.end());
}

// What an opener must not see is found by a marker: the reply to the
// opener's own request, from settings changed just before it. Whatever
// reached the opener ahead of the marker comes first in what it reads, so
// the check does not depend on how long anyone waits.
MemorySettings Marked(const std::string& port) {
  MemorySettings settings;
  settings.SetText("Edit30", port);
  return settings;
}

TEST(PtyDeviceTest, EveryOpenerStartsOnACleanLine) {
  PtyDevice device(MemorySettings(), SimOptions{.reply_delay = 0ms});
  auto port = std::make_unique<PortClient>(device.Path());
  ASSERT_TRUE(port->Write("A5A6"));
  ASSERT_TRUE(port->WaitReadable(kPatience));  // the reply waits on the line, unread
  // Reopened at once: the device notices the close all the same, a moment later.
  port.reset();
  port = std::make_unique<PortClient>(device.Path());
  ASSERT_TRUE(device.WaitForNote("port closed", 1, kPatience));
  device.SetSettings(Marked("1111"));
  ASSERT_TRUE(port->Write("A5A6"));
  EXPECT_EQ(port->Read(kPatience, "#\r\n"), *BuildReply(Marked("1111")));

  device.SetSettings(MemorySettings());
  device.SetOptions(SimOptions{.reply_delay = 300ms});
  ASSERT_TRUE(port->Write("A5A6"));
  ASSERT_TRUE(device.WaitForReceived(12, kPatience));
  port.reset();  // closed before the reply is due: it must not wait for the next opener
  port = std::make_unique<PortClient>(device.Path());
  device.SetSettings(Marked("2222"));
  ASSERT_TRUE(port->Write("A5A6"));  // answered behind the first, were that one kept
  EXPECT_EQ(port->Read(kPatience, "#\r\n"), *BuildReply(Marked("2222")));

  const auto notes = device.Notes();
  EXPECT_EQ(std::count(notes.begin(), notes.end(), "port opened"), 3);
  EXPECT_EQ(std::count(notes.begin(), notes.end(), "port closed"), 2);
}

TEST(PtyDeviceTest, ARequestWhoseSenderLeftIsNotAnsweredToTheNextOpener) {
  PtyDevice device(MemorySettings(), SimOptions{.reply_delay = 50ms});
  for (std::size_t round = 0; round < 10; ++round) {
    device.SetSettings(MemorySettings());
    auto asker = std::make_unique<PortClient>(device.Path());
    ASSERT_TRUE(asker->Write("A5A6"));
    asker.reset();
    PortClient listener(device.Path());
    // The device has taken the asker's request (answered or dropped) before
    // the settings change, so a reply to it would carry the old ones.
    ASSERT_TRUE(device.WaitForReceived(8 * round + 4, kPatience)) << round;
    device.SetSettings(Marked("3333"));
    ASSERT_TRUE(listener.Write("A5A6"));
    EXPECT_EQ(listener.Read(kPatience, "#\r\n"), *BuildReply(Marked("3333"))) << round;
  }
}

TEST(PtyDeviceTest, HangUpDropsTheLine) {
  for (const bool by_option : {false, true}) {
    PtyDevice device(MemorySettings(), SimOptions{.hangup_after = by_option ? 3u : 0u});
    PortClient port(device.Path());
    ASSERT_TRUE(port.IsOpen());
    if (by_option) {
      ASSERT_TRUE(port.Write("A5A6"));
    } else {
      device.HangUp();
    }
    EXPECT_EQ(port.Read(kPatience), "");
    EXPECT_TRUE(port.Dropped());
    EXPECT_TRUE(device.HungUp());
  }
}

// A device that stopped taking bytes: what its opener writes waits in the
// line, so a write without blocking is refused and the port never becomes
// writable again, while the answer to the request before the stall still
// comes.
TEST(PtyDeviceTest, StallSuspendsTheOpenersWrites) {
  PtyDevice device(MemorySettings(), SimOptions{.stall_after = 6});
  PortClient port(device.Path());
  ASSERT_TRUE(port.Write("A5A6xy"));
  ASSERT_TRUE(device.WaitForNote("writes to the port suspended", 1, kPatience));
  EXPECT_FALSE(port.Write("A5A6"));
  EXPECT_EQ(errno, EAGAIN);
  EXPECT_EQ(port.Read(kPatience, "#\r\n"), DefaultReply());
  EXPECT_EQ(device.ReceivedText(), "A5A6xy");
  EXPECT_FALSE(device.HungUp());
}

// HangUp() waits for the serving thread; a Stop() meanwhile must end that
// wait. The race is run many times, each round on a fresh device; the
// deadline only keeps a hung round from hanging the whole test run.
TEST(PtyDeviceTest, HangUpRacingAStopReturns) {
  constexpr int kRounds = 300;
  auto finished = std::make_shared<std::promise<void>>();
  std::future<void> all_returned = finished->get_future();
  std::thread racer([finished] {
    for (int round = 0; round < kRounds; ++round) {
      PtyDevice device;
      std::thread hang_up([&] { device.HangUp(); });
      if (round % 2) std::this_thread::yield();  // either may come first
      device.Stop();
      hang_up.join();
    }
    finished->set_value();
  });
  if (all_returned.wait_for(60s) != std::future_status::ready) {
    racer.detach();  // stuck for good; the process ends with the run
    FAIL() << "HangUp() still waits after Stop()";
  }
  racer.join();
}

}  // namespace
}  // namespace qvx::sim
