#include "sim/pty_device.h"

#include <gtest/gtest.h>

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

TEST(PtyDeviceTest, EveryOpenerStartsOnACleanLine) {
  PtyDevice device(MemorySettings(), SimOptions{.reply_delay = 0ms});
  auto port = std::make_unique<PortClient>(device.Path());
  ASSERT_TRUE(port->Write("A5A6"));
  ASSERT_TRUE(device.WaitForReceived(4, kPatience));
  std::this_thread::sleep_for(200ms);  // the reply waits on the line, unread
  // Reopened at once: the device notices the close all the same, a moment later.
  port.reset();
  port = std::make_unique<PortClient>(device.Path());
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(port->Read(200ms), "");

  device.SetOptions(SimOptions{.reply_delay = 300ms});
  ASSERT_TRUE(port->Write("A5A6"));
  ASSERT_TRUE(device.WaitForReceived(8, kPatience));
  port.reset();  // closed before the reply is due: it must not wait for the next opener
  std::this_thread::sleep_for(500ms);
  port = std::make_unique<PortClient>(device.Path());
  EXPECT_EQ(port->Read(200ms), "");

  ASSERT_TRUE(port->Write("A5A6"));
  EXPECT_EQ(port->Read(kPatience, "#\r\n"), DefaultReply());
  const auto notes = device.Notes();
  EXPECT_EQ(std::count(notes.begin(), notes.end(), "port opened"), 3);
  EXPECT_EQ(std::count(notes.begin(), notes.end(), "port closed"), 2);
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

}  // namespace
}  // namespace qvx::sim
