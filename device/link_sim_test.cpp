// The device commands over the real port against the simulated device on a
// pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "device/console_session.h"
#include "device/qt_serial_port.h"
#include "device/write_frame.h"
#include "settings/memory_settings.h"
#include "sim/pty_device.h"
#include "tests/support/changed_settings.h"

namespace qvx::device {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Records when every write started and returned.
class TimedPort : public QtSerialPort {
 public:
  struct Span {
    Clock::time_point start, end;
  };
  std::vector<Span> writes;
  int opens = 0;

  OpenResult Open(const std::string& name, std::string_view definition) override {
    ++opens;
    return QtSerialPort::Open(name, definition);
  }
  std::size_t Write(std::string_view bytes) override {
    const Clock::time_point start = Clock::now();
    const std::size_t written = QtSerialPort::Write(bytes);
    writes.push_back({start, Clock::now()});
    return written;
  }
};

std::string FrameOf(const Settings& settings) {
  return BuildWriteFrame(settings).frame;
}

class LinkSimTest : public ::testing::Test {
 protected:
  TimedPort port;
  MemorySettings settings;
  std::ostringstream out, err;
  ConsoleSession session{port, settings, out, err};

  int LogCount(const std::string& line) const {
    std::istringstream lines(out.str());
    int count = 0;
    for (std::string l; std::getline(lines, l);) count += l == line;
    return count;
  }
};

TEST_F(LinkSimTest, DefaultFrameArrivesByteForByteWithPausesBetween) {
  sim::PtyDevice device;
  EXPECT_EQ(session.Write(device.Path()).outcome, Outcome::Sent);
  ASSERT_TRUE(device.WaitForFrames(1, 5s));
  const std::string frame = device.ReceivedText();
  EXPECT_EQ(frame.size(), 288u);
  EXPECT_EQ(frame, FrameOf(MemorySettings()));
  EXPECT_TRUE(frame.starts_with(
      "A3A4111111111111111111000000000000100050111111123911101111111111000000111111001107110400"
      "000000#ABN1"));
  EXPECT_EQ(device.FramesStored(), 1);

  ASSERT_EQ(port.writes.size(), 288u);
  for (std::size_t i = 1; i < port.writes.size(); ++i)
    ASSERT_GE(port.writes[i].start - port.writes[i - 1].end, 1ms) << "after byte " << i - 1;
  EXPECT_EQ(session.Messages().back(), "Данные успешно отправлены: Данные успешно отправлены");
}

TEST_F(LinkSimTest, ChangedSettingsAreStoredByTheDevice) {
  sim::PtyDevice device;
  settings = ChangedSettings();
  ASSERT_EQ(session.Write(device.Path()).outcome, Outcome::Sent);
  ASSERT_TRUE(device.WaitForFrames(1, 5s));
  EXPECT_EQ(FrameOf(device.Settings()), FrameOf(settings));
}

TEST_F(LinkSimTest, ReadTakesTheDeviceSettingsOver) {
  sim::PtyDevice device(ChangedSettings());
  EXPECT_EQ(session.Read(device.Path()).outcome, Outcome::ReadSuccess);
  EXPECT_EQ(FrameOf(settings), FrameOf(ChangedSettings()));
  EXPECT_EQ(device.ReceivedText(), "A5A6");
  EXPECT_EQ(LogCount("+491511234567"), 1);  // the raw entries are logged
  EXPECT_TRUE(session.Link().state.ReceiveBuffer.empty());
}

TEST_F(LinkSimTest, TwoCommandsOpenThePortOnce) {
  sim::PtyDevice device;
  ASSERT_EQ(session.Write(device.Path()).outcome, Outcome::Sent);
  ASSERT_EQ(session.Read(device.Path()).outcome, Outcome::ReadSuccess);
  EXPECT_EQ(port.opens, 1);
  EXPECT_EQ(LogCount("ком открыт"), 1);
  EXPECT_EQ(LogCount("ком закрыт"), 1);
}

TEST_F(LinkSimTest, ChangingThePortClosesAndReopens) {
  sim::PtyDevice first, second;
  ASSERT_EQ(session.Write(first.Path()).outcome, Outcome::Sent);
  ASSERT_EQ(session.Write(second.Path()).outcome, Outcome::Sent);
  EXPECT_EQ(port.opens, 2);
  EXPECT_EQ(LogCount("ком закрыт"), 2);
  // Each device takes its frame on its own thread.
  ASSERT_TRUE(first.WaitForFrames(1, 5s));
  ASSERT_TRUE(second.WaitForFrames(1, 5s));
  EXPECT_EQ(first.FramesStored(), 1);
  EXPECT_EQ(second.FramesStored(), 1);
}

// A device that went away is a lost port, as the page says it, not a write
// that failed: the command-line tool and the page give the same cause.
TEST_F(LinkSimTest, HungUpLineFailsTheNextWriteAsALostPort) {
  sim::PtyDevice device;
  ASSERT_EQ(session.Write(device.Path()).outcome, Outcome::Sent);
  device.HangUp();
  const CommandResult result = session.Write(device.Path());
  EXPECT_EQ(result.outcome, Outcome::LostMidFrame);
  EXPECT_EQ(result.cause, Cause::Lost);
  EXPECT_TRUE(session.Messages().back().starts_with("Quorvex: Связь с портом потеряна"))
      << session.Messages().back();
  EXPECT_EQ(LogCount("Ошибка в WriteFile"), 1);
}

TEST_F(LinkSimTest, AWriteWhoseLineDiesMidFrameSaysWhy) {
  sim::SimOptions options;
  options.hangup_after = 40;  // the device goes away 40 bytes into the frame
  sim::PtyDevice device(MemorySettings(), options);
  const CommandResult result = session.Write(device.Path());
  EXPECT_EQ(result.cause, Cause::Lost);
  EXPECT_FALSE(result.system_text.empty());
  EXPECT_EQ(LogCount("Ошибка в WriteFile"), 1);
  // The message, then the system's words under it, both on the failure stream.
  const std::string failures = err.str();
  ASSERT_TRUE(failures.starts_with("Связь с портом потеряна")) << failures;
  EXPECT_TRUE(failures.ends_with("\n" + result.system_text + "\n")) << failures;
  EXPECT_EQ(out.str().find("потеряна"), std::string::npos);
}

struct Fault {
  const char* name;
  sim::SimOptions options;
  Outcome outcome;
  const char* message;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Fault& fault, std::ostream* out) {
  *out << fault.name;
}

class LinkSimFaultTest : public LinkSimTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(LinkSimFaultTest, ReadEndsWithTheMessageOfTheOutcome) {
  sim::PtyDevice device(ChangedSettings(), GetParam().options);
  EXPECT_EQ(session.Read(device.Path()).outcome, GetParam().outcome);
  EXPECT_EQ(session.Messages().back(), GetParam().message);
  const bool taken = GetParam().outcome == Outcome::ReadSuccess;
  EXPECT_EQ(FrameOf(settings) == FrameOf(ChangedSettings()), taken);
  EXPECT_TRUE(session.Link().state.ReceiveBuffer.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LinkSimFaultTest,
    ::testing::Values(
        Fault{
            "NotReady", {.not_ready = true}, Outcome::NotReady, "Ошибка : SIM-карта ещё не готова"},
        Fault{"Silent", {.silent = true}, Outcome::NoData, "Ошибка : Не удалось получить данные"},
        Fault{"Noise",
              {.noise = true},
              Outcome::ReadSuccess,
              "Данные успешно получены: Данные успешно получены"},
        Fault{"Trickle",
              {.trickle = 2ms},
              Outcome::ReadSuccess,
              "Данные успешно получены: Данные успешно получены"},
        Fault{"TooLate", {.late = 2500ms}, Outcome::NoData, "Ошибка : Не удалось получить данные"},
        Fault{
            "HangUp", {.hangup_after = 2}, Outcome::NoData, "Ошибка : Не удалось получить данные"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qvx::device
