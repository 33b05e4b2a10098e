#include "device/device_commands.h"

#include <gtest/gtest.h>

#include <optional>

#include "device/write_frame.h"
#include "settings/memory_settings.h"
#include "tests/support/fake_link.h"

namespace qvx::device {
namespace {

using testing::FakePort;
using testing::RecordingHost;

// The window's part: the marks, the buttons and a reception timer on the
// host's clock, which fires from the read loop's events once it is due.
class RecordingView : public CommandView {
 public:
  std::vector<std::string> calls;
  std::optional<double> timer_due;
  double* clock = nullptr;  // the host's; no timer of its own without it
  void MarkTextField(std::string_view field, FieldMark mark) override {
    calls.push_back(std::string(field) + (mark == FieldMark::Red ? " red" : " white"));
  }
  void ShowSubscriberTab() override { calls.push_back("tab"); }
  void SetWriteButtonVisible(bool visible) override {
    calls.push_back(visible ? "show write" : "hide write");
  }
  void SetReadButtonVisible(bool visible) override {
    calls.push_back(visible ? "show read" : "hide read");
  }
  bool TimesReception() const override { return clock != nullptr; }
  void StartReceptionTimer(int due_in_ms) override {
    calls.push_back("timer on " + std::to_string(due_in_ms));
    if (clock) timer_due = *clock + due_in_ms;
  }
  void StopReceptionTimer() override {
    calls.push_back("timer off");
    timer_due.reset();
  }
};

// The pauses of a read: the request's 1 ms, then one of 100 ms a turn.
std::vector<int> RequestThenTurns(int turns) {
  std::vector<int> pauses{1};
  pauses.insert(pauses.end(), turns, 100);
  return pauses;
}

class DeviceCommandsTest : public ::testing::Test {
 protected:
  FakePort port;
  RecordingHost host;
  DeviceLink link{port, host};
  MemorySettings settings;
  RecordingView view;

  // The window's Timer1: fires from the read loop's events once due;
  // `early_ms` sooner than asked, as a coarse timer may.
  void UseTimer(double early_ms = 0) {
    view.clock = &host.now_ms;
    host.on_events = [this, early_ms] {
      if (!view.timer_due || host.now_ms + early_ms < *view.timer_due) return;
      view.timer_due.reset();
      ReceptionTimerFired(link, settings, view);
    };
  }
};

TEST_F(DeviceCommandsTest, WriteSendsTheFrameOneBytePerWrite) {
  const std::string frame = BuildWriteFrame(settings).frame;
  EXPECT_EQ(WriteCommand(link, settings, "ttyUSB0", view).outcome, Outcome::Sent);
  EXPECT_EQ(port.written, frame);
  EXPECT_EQ(host.pauses, std::vector<int>(frame.size(), 1));
  EXPECT_EQ(host.messages.back(), std::make_pair(std::string("Данные успешно отправлены"),
                                                 std::string("Данные успешно отправлены")));
  EXPECT_EQ(host.kinds, std::vector<MessageKind>{MessageKind::Success});
  EXPECT_EQ(view.calls.back(), "show write");
  EXPECT_EQ(view.calls[view.calls.size() - 2], "hide write");
}

// A host asked to stop (Ctrl-C in the command-line tool) ends the frame
// after the byte under way, and says nothing itself.
TEST(WriteCommandStopTest, StopsBetweenBytesAndTellsHowFarItGot) {
  const struct {
    std::size_t stop_after;  // bytes on the line when the stop is asked for
    Outcome outcome;
  } cases[] = {
      {0, Outcome::StoppedBeforeFrame},
      {1, Outcome::StoppedMidFrame},
      {100, Outcome::StoppedMidFrame},
      {std::string::npos, Outcome::Sent},
  };
  for (const auto& c : cases) {
    FakePort port;
    struct StoppingHost : RecordingHost {
      std::function<bool()> stop;
      bool StopRequested() override { return stop(); }
    } host;
    host.stop = [&] { return port.written.size() >= c.stop_after; };
    DeviceLink link(port, host);
    MemorySettings settings;
    RecordingView view;
    const std::string frame = BuildWriteFrame(settings).frame;
    const CommandResult result = WriteCommand(link, settings, "ttyUSB0", view);
    EXPECT_EQ(result.outcome, c.outcome) << c.stop_after;
    EXPECT_EQ(result.cause, c.outcome == Outcome::Sent ? Cause::None : Cause::Stopped);
    EXPECT_EQ(port.written, frame.substr(0, c.stop_after));
    if (c.outcome != Outcome::Sent) {
      EXPECT_TRUE(host.messages.empty()) << c.stop_after;
    }
    if (c.stop_after > 0) {
      EXPECT_EQ(view.calls.back(), "show write");
    }
  }
}

TEST_F(DeviceCommandsTest, FailedByteStopsTheSending) {
  port.fail_write_at = 10;
  EXPECT_EQ(WriteCommand(link, settings, "ttyUSB0", view).cause, Cause::WriteFailed);
  EXPECT_EQ(port.written.size(), 10u);
  EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "Ошибка в WriteFile"), 1);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0],
            std::make_pair(std::string("Ошибка записи в порт"), std::string("Ошибка ")));
  EXPECT_EQ(host.kinds, std::vector<MessageKind>{MessageKind::Failure});
  EXPECT_EQ(view.calls.back(), "show write");
}

TEST_F(DeviceCommandsTest, FailedCheckWritesTextsBackAndSendsNothing) {
  settings.SetText("Edit16", "+38 (050) 123-45-67");
  settings.SetText("Edit25", "73");
  EXPECT_EQ(WriteCommand(link, settings, "ttyUSB0", view).outcome, Outcome::Refused);
  EXPECT_EQ(settings.Text("Edit16"), "+380501234567");
  EXPECT_TRUE(port.opened.empty());
  EXPECT_EQ(host.messages.back(),
            std::make_pair(std::string("Проверьте  пароль"), std::string("Ошибка")));
  EXPECT_EQ(host.kinds, std::vector<MessageKind>{MessageKind::Refusal});
  EXPECT_EQ(view.calls.back(), "tab");  // the tab follows the password message
  EXPECT_EQ(view.calls[view.calls.size() - 2], "Edit25 red");
}

TEST_F(DeviceCommandsTest, PortTurnsRedOnlyAfterItsMessage) {
  settings.SetText("Edit30", "");
  EXPECT_EQ(WriteCommand(link, settings, "ttyUSB0", view).outcome, Outcome::Refused);
  EXPECT_EQ(host.messages.back().first, "Проверьте  порт");
  EXPECT_EQ(view.calls.back(), "Edit30 red");
  EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "tab"), 0);
}

TEST_F(DeviceCommandsTest, UnselectedListRefusesBeforeThePortIsTouched) {
  settings.SetListIndex("ComboBox881", 77);
  EXPECT_EQ(WriteCommand(link, settings, "ttyUSB0", view).outcome, Outcome::Refused);
  EXPECT_TRUE(port.opened.empty());
  EXPECT_EQ(host.messages.back(),
            std::make_pair(std::string("Не выбрано значение параметра Set08 пункт 1"),
                           std::string("Ошибка")));
  EXPECT_EQ(host.kinds, std::vector<MessageKind>{MessageKind::Refusal});
}

TEST_F(DeviceCommandsTest, WriteStopsQuietlyWhenThePortCannotOpen) {
  port.next_open = OpenResult::CannotOpen;
  EXPECT_EQ(WriteCommand(link, settings, "ttyUSB9", view).outcome, Outcome::CannotOpen);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.port_errors.size(), 1u);
  EXPECT_TRUE(port.written.empty());
}

TEST_F(DeviceCommandsTest, ReadTakesTheReplyOverAndEndsTheLoop) {
  MemorySettings device;
  device.SetText("Edit17", "+15550001111");
  device.SetListIndex("ComboBox881", 9);
  std::string reply = "\r\n";
  const SettingsDigits digits = ReadSettingsDigits(device, ListNumbering::Device).digits;
  for (int g = 0; g < kDigitGroups; ++g) {
    for (int d = 0; d < kDigitsPerGroup; ++d) reply += static_cast<char>('0' + digits[g * 6 + d]);
    reply += ":";
  }
  for (const std::string& text : ReadTextFields(device)) reply += text + ":";
  reply += "#\r\n";
  port.reads = {"", reply.substr(0, 50), reply.substr(50)};
  UseTimer();

  EXPECT_EQ(ReadCommand(link, settings, "ttyUSB0", view).outcome, Outcome::ReadSuccess);
  EXPECT_EQ(port.written, "A5A6");
  EXPECT_EQ(settings.Text("Edit17"), "+15550001111");
  EXPECT_EQ(settings.ListIndex("ComboBox881"), 9);
  EXPECT_EQ(host.messages.back(), std::make_pair(std::string("Данные успешно получены"),
                                                 std::string("Данные успешно получены")));
  EXPECT_EQ(host.log.size(), 2u + 31u);  // closed, opened, the entries
  EXPECT_EQ(host.log[2], "111111");
  EXPECT_TRUE(link.state.ReceiveBuffer.empty());
  // The window runs 2000 ms from the request's write (and its 1 ms pause),
  // read every 100 ms: the timer fires in the 21st turn.
  EXPECT_EQ(view.calls,
            (std::vector<std::string>{"hide read", "timer on 2000", "timer off", "show read"}));
  EXPECT_EQ(host.events, 21);
  EXPECT_EQ(host.pauses, RequestThenTurns(21));
}

// A coarse timer fires a little early: it is started again for the rest, and
// the window still ends when due.
TEST_F(DeviceCommandsTest, ATimerThatFiresEarlyIsStartedAgainForTheRest) {
  UseTimer(150);
  EXPECT_EQ(ReadCommand(link, settings, "ttyUSB0", view).outcome, Outcome::NoData);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"hide read", "timer on 2000", "timer on 100",
                                                  "timer off", "show read"}));
  EXPECT_EQ(host.events, 21);
}

// Without a timer of its own (the console session), the read loop tells the
// time after each turn: the same window, the same pace.
TEST_F(DeviceCommandsTest, WithoutATimerTheReadLoopTellsTheTime) {
  EXPECT_EQ(ReadCommand(link, settings, "ttyUSB0", view).outcome, Outcome::NoData);
  EXPECT_EQ(host.events, 20);
  EXPECT_EQ(host.pauses, RequestThenTurns(20));
  EXPECT_EQ(host.messages.back().first, "Не удалось получить данные");
}

TEST_F(DeviceCommandsTest, TwoReadsOpenOnceAndSendTheRequestTwice) {
  UseTimer();
  ReadCommand(link, settings, "ttyUSB0", view);
  ReadCommand(link, settings, "ttyUSB0", view);
  EXPECT_EQ(port.opened.size(), 1u);
  EXPECT_EQ(port.written, "A5A6A5A6");
  EXPECT_EQ(port.discards, 2);  // leftovers go before each request
  EXPECT_EQ(host.messages.back().first, "Не удалось получить данные");
}

TEST_F(DeviceCommandsTest, ReadWithoutPortKeepsTheButton) {
  port.next_open = OpenResult::CannotOpen;
  EXPECT_EQ(ReadCommand(link, settings, "nothing", view).outcome, Outcome::CannotOpen);
  EXPECT_TRUE(view.calls.empty());
  EXPECT_TRUE(port.written.empty());
}

TEST_F(DeviceCommandsTest, ListenRunsEvenWhenTheOpenFailsAndStopSkipsTheEvaluation) {
  port.next_open = OpenResult::CannotOpen;
  port.reads = {"..A0A0"};
  UseTimer();
  host.on_events = [this] { StopReadingCommand(link, view); };
  EXPECT_EQ(ListenCommand(link, settings, "ttyUSB0", view).outcome, Outcome::StoppedReading);
  EXPECT_EQ(host.port_errors.size(), 1u);
  EXPECT_TRUE(link.state.OpenPortName.empty());
  EXPECT_EQ(link.state.ReceiveBuffer, "..A0A0");  // kept for the next evaluation
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(view.calls, (std::vector<std::string>{"timer on 2000", "timer off"}));
}

}  // namespace
}  // namespace qvx::device
