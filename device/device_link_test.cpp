#include "device/device_link.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/fake_link.h"

namespace qvx::device {
namespace {

using testing::FakePort;
using testing::RecordingHost;

class DeviceLinkTest : public ::testing::Test {
 protected:
  FakePort port;
  RecordingHost host;
  DeviceLink link{port, host};
};

TEST_F(DeviceLinkTest, EnsureOpensOnceAndReopensWhenTheNameChanges) {
  link.EnsureComPortOpen("ttyUSB0");
  link.EnsureComPortOpen("ttyUSB0");
  EXPECT_EQ(port.opened, std::vector<std::string>{"ttyUSB0"});
  EXPECT_EQ(host.log, (std::vector<std::string>{"ком закрыт", "ком открыт"}));

  link.EnsureComPortOpen("ttyUSB1");
  EXPECT_EQ(port.opened, (std::vector<std::string>{"ttyUSB0", "ttyUSB1"}));
  EXPECT_EQ(link.state.OpenPortName, "ttyUSB1");
  EXPECT_EQ(link.state.PortSettings, "baud=57600 parity=N data=8 stop=1");
  EXPECT_EQ(host.log.size(), 4u);
}

TEST_F(DeviceLinkTest, OpenErrorsShowTheirDialogAndLeaveTheLinkClosed) {
  const struct {
    OpenResult result;
    const char* text;
  } cases[] = {{OpenResult::CannotOpen, "Error 1: Не могу открыть указанный Com порт!"},
               {OpenResult::DefinitionRejected, "Error 2"},
               {OpenResult::LineNotSet, "Error 3"},
               {OpenResult::TimeoutsNotSet, "Error 4"}};
  for (const auto& c : cases) {
    port.next_open = c.result;
    link.EnsureComPortOpen("COM3");
    EXPECT_FALSE(link.state.PortOpen);
    EXPECT_EQ(link.state.OpenPortName, "COM3");
    ASSERT_FALSE(host.port_errors.empty());
    EXPECT_EQ(host.port_errors.back(), c.text);
  }
  // Every retry closes first, which releases a port held by a failed configuration.
  EXPECT_EQ(port.closes, 4);
}

TEST_F(DeviceLinkTest, CloseMarksTheLinkClosedSoTheNextCommandReopens) {
  link.EnsureComPortOpen("ttyUSB0");
  link.CloseComPort();
  EXPECT_FALSE(link.state.PortOpen);
  link.EnsureComPortOpen("ttyUSB0");
  EXPECT_EQ(port.opened.size(), 2u);
}

TEST_F(DeviceLinkTest, PortThatLostItsLineIsReopenedUnderTheSameName) {
  link.EnsureComPortOpen("ttyUSB0");
  port.LoseLine();
  link.EnsureComPortOpen("ttyUSB0");
  EXPECT_EQ(port.opened, (std::vector<std::string>{"ttyUSB0", "ttyUSB0"}));
  EXPECT_TRUE(link.state.PortOpen);
}

TEST_F(DeviceLinkTest, WritesStopAtNulLogFailuresAndAlwaysPause) {
  link.WriteComPort("");
  EXPECT_TRUE(host.log.empty());
  link.WriteComPort("A5A6");  // nothing open
  EXPECT_EQ(host.log, std::vector<std::string>{"Ошибка в WriteFile"});

  link.EnsureComPortOpen("p");
  link.WriteComPort(std::string_view("ab\0cd", 5));
  EXPECT_EQ(port.written, "ab");
  EXPECT_EQ(host.pauses, (std::vector<int>{1, 1, 1}));
}

TEST_F(DeviceLinkTest, ReadLoopMapsControlBytesAndRunsUntilStopped) {
  link.EnsureComPortOpen("p");
  port.reads = {std::string("\r\n1\x1f", 4), "", std::string("\x7f\xe0 ", 3)};
  host.on_events = [&] { link.state.StopReading = host.events == 3; };
  link.ReadComPort();
  EXPECT_EQ(link.state.ReceiveBuffer, "..1.\x7f\xe0 ");
  EXPECT_EQ(host.events, 3);
  EXPECT_EQ(host.pauses, (std::vector<int>{100, 100, 100}));
}

TEST_F(DeviceLinkTest, ReadLoopRunsOnceWhenAlreadyStopped) {
  link.state.StopReading = true;
  link.ReadComPort();
  EXPECT_EQ(host.events, 1);
}

TEST(PortListTest, ExtraPortsFirstThenUsbAdaptersThenOthersThenBuiltInPorts) {
  const struct {
    std::vector<std::string> extra, platform, listed;
  } cases[] = {
      {{}, {}, {}},
      {{}, {"ttyS1", "ttyUSB0", "ttyS0", "ttyACM0"}, {"ttyACM0", "ttyUSB0", "ttyS0", "ttyS1"}},
      {{}, {"ttyS10", "ttyS2", "ttyUSB10", "ttyUSB9"}, {"ttyUSB9", "ttyUSB10", "ttyS2", "ttyS10"}},
      {{}, {"ttyS0", "rfcomm0", "ttyAMA0", "ttyUSB0"}, {"ttyUSB0", "rfcomm0", "ttyAMA0", "ttyS0"}},
      {{"/dev/pts/9", "/dev/pts/3"},
       {"ttyS0", "ttyUSB0"},
       {"/dev/pts/9", "/dev/pts/3", "ttyUSB0", "ttyS0"}},
      {{"/dev/pts/4"}, {}, {"/dev/pts/4"}},
      // A name both lists know, or one the platform repeats, is listed once.
      {{"ttyUSB0"}, {"ttyS0", "ttyUSB0", "ttyS0"}, {"ttyUSB0", "ttyS0"}},
  };
  for (const auto& c : cases) {
    FakePort port;
    RecordingHost host;
    port.platform_ports = c.platform;
    DeviceLink link(port, host, [&] { return c.extra; });
    EXPECT_EQ(link.ListComPorts(), c.listed) << ::testing::PrintToString(c.platform);
    // The platform's order never matters.
    std::reverse(port.platform_ports.begin(), port.platform_ports.end());
    EXPECT_EQ(link.ListComPorts(), c.listed) << ::testing::PrintToString(c.platform);
  }
}

}  // namespace
}  // namespace qvx::device
