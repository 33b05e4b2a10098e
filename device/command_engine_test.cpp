#include "device/command_engine.h"

#include <gtest/gtest.h>

#include "device/write_frame.h"
#include "settings/memory_settings.h"
#include "sim/reply_text.h"

namespace qvx::device {
namespace {

constexpr std::size_t kNever = std::string::npos;

// What the port and the user do while a command runs.
struct Script {
  bool open_fails = false;
  std::size_t fail_at_byte = kNever;               // the write of this byte of the frame fails ...
  Event::Kind failure = Event::Kind::WriteFailed;  // ... so
  std::size_t stop_at_byte = kNever;               // a stop is asked for before this byte
  bool stop_while_opening = false;
  bool stop_while_recording = false;
  bool lose_while_recording = false;
  std::string reply{};  // arrives during the reception window
  bool lose_while_collecting = false;
  bool stop_while_collecting = false;
  Cause open_cause = Cause::None;  // of a failed open
  std::string system_text{};       // the port's words of a failure
};

// The steps a host saw, in words, and how the command ended.
struct Trace {
  std::vector<std::string> steps;
  std::vector<std::string> messages;  // "title: text"
  Outcome outcome = Outcome::Refused;
  std::size_t bytes_sent = 0;
  std::string request;  // the first write after the frame: the read request
};

Event At(Event::Kind kind, double now) {
  Event event;
  event.kind = kind;
  event.now_ms = now;
  return event;
}

std::string Words(const Step& step) {
  switch (step.kind) {
    case Step::Kind::MarkField:
      return step.field + (step.mark == FieldMark::Red ? " red" : " white");
    case Step::Kind::SubscriberTab:
      return "tab";
    case Step::Kind::WriteButton:
      return step.visible ? "show write" : "hide write";
    case Step::Kind::ReadButton:
      return step.visible ? "show read" : "hide read";
    case Step::Kind::OpenPort:
      return step.reopen ? "open" : "open as is";
    case Step::Kind::DropInput:
      return "drop input";
    case Step::Kind::Send:
      return std::string(step.per_byte ? "send per byte" : "send") + " pause " +
             std::to_string(step.pause_ms) + " bound " + std::to_string(step.bound_ms) + "/" +
             std::to_string(step.buffered_bound_ms);
    case Step::Kind::Collect:
      return "collect " + std::to_string(static_cast<int>(step.until_ms)) + " by " +
             std::to_string(step.read_max_bytes) + "/" + std::to_string(step.read_every_ms);
    case Step::Kind::StopCollecting:
      return "stop collecting";
    case Step::Kind::Wait:
      return "wait " + std::to_string(static_cast<int>(step.until_ms)) + " every " +
             std::to_string(step.slice_ms);
    case Step::Kind::Log:
      return "log";
    case Step::Kind::TakeSettings:
      return "take settings";
    case Step::Kind::ClearReceiveBuffer:
      return "clear buffer";
    case Step::Kind::Message:
      return std::string(step.port_error ? "port error" : step.interim ? "interim" : "message");
    case Step::Kind::Finished:
      return "finished";
  }
  return "?";
}

// Plays the host: answers each awaiting step as the script says, on a clock
// that starts at 1000 ms and moves only when the engine waits.
Trace Play(CommandEngine& engine, const Script& script, Settings* edit_during_wait = nullptr) {
  Trace trace;
  double now = 1000;
  std::vector<Step> steps = engine.Start(now);
  for (int guard = 0; guard < 10000; ++guard) {
    std::vector<Step> next;
    for (const Step& step : steps) {
      trace.steps.push_back(Words(step));
      if (step.kind == Step::Kind::Message) trace.messages.push_back(step.title + ": " + step.text);
      if (step.kind == Step::Kind::Finished) {
        trace.outcome = step.outcome;
        EXPECT_EQ(engine.Result(), step.outcome);
        EXPECT_TRUE(engine.Feed(At(Event::Kind::Time, now + 1e6)).empty());
        return trace;
      }
      if (step.kind == Step::Kind::OpenPort) {
        Event failed = At(Event::Kind::OpenFailed, now);
        failed.cause = script.open_cause;
        failed.system_text = script.system_text;
        next = engine.Feed(script.stop_while_opening ? At(Event::Kind::Stop, now)
                           : script.open_fails       ? failed
                                                     : At(Event::Kind::Opened, now));
      } else if (step.kind == Step::Kind::Send && step.per_byte) {
        for (std::size_t i = 0; i < step.bytes.size() && next.empty(); ++i) {
          now += step.pause_ms;
          if (i == script.stop_at_byte) {
            next = engine.Feed(At(Event::Kind::Stop, now));
          } else if (i == script.fail_at_byte) {
            Event failure = At(script.failure, now);
            failure.system_text = script.system_text;
            next = engine.Feed(failure);
          } else {
            Event written = At(Event::Kind::Written, now);
            written.count = 1;
            ++trace.bytes_sent;
            next = engine.Feed(written);
          }
        }
      } else if (step.kind == Step::Kind::Send) {
        trace.request = step.bytes;
        Event written = At(Event::Kind::Written, ++now);
        written.count = step.bytes.size();
        next = engine.Feed(written);
      } else if (step.kind == Step::Kind::Wait) {
        if (edit_during_wait) edit_during_wait->SetText("Edit25", "9999");
        now = step.until_ms;
        Event lost = At(Event::Kind::Lost, now);
        lost.system_text = script.system_text;
        next = engine.Feed(script.stop_while_recording   ? At(Event::Kind::Stop, now)
                           : script.lose_while_recording ? lost
                                                         : At(Event::Kind::Time, now));
      } else if (step.kind == Step::Kind::Collect) {
        Event received = At(Event::Kind::Received, now + 50);
        received.bytes = script.reply;
        EXPECT_TRUE(engine.Feed(received).empty());
        EXPECT_TRUE(engine.Feed(At(Event::Kind::Time, step.until_ms - 1)).empty());
        Event lost = At(Event::Kind::Lost, now + 100);
        lost.system_text = script.system_text;
        next = engine.Feed(script.stop_while_collecting   ? At(Event::Kind::Stop, now + 100)
                           : script.lose_while_collecting ? lost
                                                          : At(Event::Kind::Time, step.until_ms));
      } else {
        continue;
      }
      break;
    }
    EXPECT_FALSE(next.empty()) << "the engine stalled after " << trace.steps.back();
    if (next.empty()) return trace;
    steps = std::move(next);
  }
  ADD_FAILURE() << "no end";
  return trace;
}

std::string ReplyOf(const Settings& settings) {
  return sim::BuildReply(settings).value();
}

MemorySettings WithPassword(const std::string& password) {
  MemorySettings settings;
  settings.SetText("Edit25", password);
  return settings;
}

TEST(CommandEngine, EveryOutcomeWithItsMessage) {
  const std::string good = ReplyOf(MemorySettings());
  const std::string other = ReplyOf(WithPassword("4321"));
  const std::string faulty = [] {
    std::vector<std::string> fields = sim::ReplyFields(MemorySettings()).value();
    fields[0] = "12345";  // a code field one digit short
    return "\r\n" + sim::JoinFields(fields) + ":#";
  }();
  const struct {
    const char* name;
    Command command;
    Script script;
    Outcome outcome;
    std::string last_message;  // "title: text" or its start; "" when none
  } cases[] = {
      {"refused", Command::Write, {}, Outcome::Refused, "Ошибка: Проверьте  пароль"},
      {"cannot open",
       Command::Write,
       {.open_fails = true},
       Outcome::CannotOpen,
       "Quorvex: Error 1: Не могу открыть указанный Com порт!"},
      {"sent",
       Command::Write,
       {},
       Outcome::Sent,
       "Данные успешно отправлены: Данные успешно отправлены"},
      {"write failed mid frame",
       Command::Write,
       {.fail_at_byte = 100},
       Outcome::WriteFailed,
       "Ошибка : Ошибка записи в порт"},
      {"write timed out mid frame",
       Command::Write,
       {.fail_at_byte = 5, .failure = Event::Kind::WriteTimedOut},
       Outcome::WriteTimedOut,
       "Quorvex: Порт не принимает данные: запись не завершилась вовремя. Кадр передан не "
       "полностью; проверьте программатор и запишите ещё раз."},
      {"lost mid frame",
       Command::Write,
       {.fail_at_byte = 7, .failure = Event::Kind::Lost},
       Outcome::LostMidFrame,
       "Quorvex: Связь с портом потеряна: программатор отключён или порт занят. Порт откроется "
       "заново при следующей команде."},
      {"stopped before the port",
       Command::Write,
       {.stop_while_opening = true},
       Outcome::StoppedBeforeFrame,
       ""},
      {"stopped before the first byte",
       Command::Write,
       {.stop_at_byte = 0},
       Outcome::StoppedBeforeFrame,
       ""},
      {"stopped mid frame", Command::Write, {.stop_at_byte = 50}, Outcome::StoppedMidFrame, ""},
      {"read success",
       Command::Read,
       {.reply = good},
       Outcome::ReadSuccess,
       "Данные успешно получены: Данные успешно получены"},
      {"read cannot open",
       Command::Read,
       {.open_fails = true},
       Outcome::CannotOpen,
       "Quorvex: Error 1: Не могу открыть указанный Com порт!"},
      {"silent device", Command::Read, {}, Outcome::NoData, "Ошибка : Не удалось получить данные"},
      {"SIM not ready",
       Command::Read,
       {.reply = good + "\r\nA0A0\r\n"},
       Outcome::NotReady,
       "Ошибка : SIM-карта ещё не готова"},
      {"faulty reply",
       Command::Read,
       {.reply = faulty},
       Outcome::Faulty,
       "Ошибка : Произошла ошибка при получении данных"},
      {"abandoned reply",
       Command::Read,
       {.reply = "\r\n111111:222222:#"},
       Outcome::Abandoned,
       "Ошибка : Ответ устройства неполный"},
      {"lost mid read",
       Command::Read,
       {.reply = good, .lose_while_collecting = true},
       Outcome::LostMidRead,
       "Quorvex: Связь с портом потеряна: программатор отключён или порт занят. Порт откроется "
       "заново при следующей команде."},
      {"read stopped",
       Command::Read,
       {.reply = good, .stop_while_collecting = true},
       Outcome::StoppedReading,
       ""},
      {"listen then stop",
       Command::Listen,
       {.reply = good, .stop_while_collecting = true},
       Outcome::StoppedReading,
       ""},
      {"listen on a port that would not open",
       Command::Listen,
       {.open_fails = true},
       Outcome::NoData,
       "Ошибка : Не удалось получить данные"},
      {"verify equal",
       Command::WriteVerify,
       {.reply = good},
       Outcome::VerifyEqual,
       "Проверка: Устройство хранит записанные настройки"},
      {"verify different",
       Command::WriteVerify,
       {.reply = other},
       Outcome::VerifyDifferent,
       "Проверка: Устройство хранит другие настройки (1):\n"},
      {"verify on a silent device",
       Command::WriteVerify,
       {},
       Outcome::NoData,
       "Ошибка : Не удалось получить данные"},
      {"verify stopped while the device records",
       Command::WriteVerify,
       {.stop_while_recording = true},
       Outcome::StoppedBeforeCheck,
       "Данные успешно отправлены: Данные успешно отправлены"},
      {"verify lost while the device records",
       Command::WriteVerify,
       {.lose_while_recording = true},
       Outcome::LostMidRead,
       "Quorvex: Связь с портом потеряна: программатор отключён или порт занят. Порт откроется "
       "заново при следующей команде."},
      {"verify stopped while reading back",
       Command::WriteVerify,
       {.reply = good, .stop_while_collecting = true},
       Outcome::StoppedBeforeCheck,
       "Данные успешно отправлены: Данные успешно отправлены"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemorySettings settings =
        std::string(c.name) == "refused" ? WithPassword("12") : MemorySettings();
    CommandEngine engine(c.command, settings);
    const Trace trace = Play(engine, c.script);
    EXPECT_EQ(trace.outcome, c.outcome);
    if (c.last_message.empty()) {
      EXPECT_TRUE(trace.messages.empty());
    } else {
      EXPECT_EQ(trace.messages.back().substr(0, c.last_message.size()), c.last_message);
    }
  }
}

// Each way a command ends, with its cause; the port's own words travel
// apart, in the result, and never decide the cause.
TEST(CommandEngine, EachEndHasItsCauseAndThePortsWordsApart) {
  const std::string faulty_reply = [] {
    std::vector<std::string> fields = sim::ReplyFields(MemorySettings()).value();
    fields[29] = "";  // a port field without digits
    return "\r\n" + sim::JoinFields(fields) + ":#";
  }();
  const struct {
    const char* name;
    Command command;
    Script script;
    Outcome outcome;
    Cause cause;
    bool frame_sent;
  } cases[] = {
      {"sent", Command::Write, {}, Outcome::Sent, Cause::None, true},
      {"stopped before the frame",
       Command::Write,
       {.stop_at_byte = 0},
       Outcome::StoppedBeforeFrame,
       Cause::Stopped,
       false},
      {"busy",
       Command::Write,
       {.open_fails = true, .open_cause = Cause::Busy},
       Outcome::CannotOpen,
       Cause::Busy,
       false},
      {"denied",
       Command::Read,
       {.open_fails = true, .open_cause = Cause::Denied},
       Outcome::CannotOpen,
       Cause::Denied,
       false},
      {"missing",
       Command::WriteVerify,
       {.open_fails = true, .open_cause = Cause::Missing},
       Outcome::CannotOpen,
       Cause::Missing,
       false},
      {"unknown open failure",
       Command::Write,
       {.open_fails = true},
       Outcome::CannotOpen,
       Cause::OpenOther,
       false},
      {"write failed",
       Command::Write,
       {.fail_at_byte = 3},
       Outcome::WriteFailed,
       Cause::WriteFailed,
       false},
      {"write timed out",
       Command::Write,
       {.fail_at_byte = 3, .failure = Event::Kind::WriteTimedOut},
       Outcome::WriteTimedOut,
       Cause::WriteTimedOut,
       false},
      {"lost mid frame",
       Command::WriteVerify,
       {.fail_at_byte = 3, .failure = Event::Kind::Lost},
       Outcome::LostMidFrame,
       Cause::Lost,
       false},
      {"stopped mid frame",
       Command::Write,
       {.stop_at_byte = 9},
       Outcome::StoppedMidFrame,
       Cause::Stopped,
       false},
      {"silent", Command::Read, {}, Outcome::NoData, Cause::NoData, false},
      {"not ready",
       Command::Read,
       {.reply = "\r\nA0A0"},
       Outcome::NotReady,
       Cause::NotReady,
       false},
      {"faulty",
       Command::Read,
       {.reply = faulty_reply},
       Outcome::Faulty,
       Cause::FaultyField,
       false},
      {"cut short",
       Command::Read,
       {.reply = "\r\n1:2:#"},
       Outcome::Abandoned,
       Cause::FaultyField,
       false},
      {"lost mid read",
       Command::Read,
       {.lose_while_collecting = true},
       Outcome::LostMidRead,
       Cause::Lost,
       false},
      {"read back silent", Command::WriteVerify, {}, Outcome::NoData, Cause::NoData, true},
      {"lost while recording",
       Command::WriteVerify,
       {.lose_while_recording = true},
       Outcome::LostMidRead,
       Cause::Lost,
       true},
      {"stopped before the check",
       Command::WriteVerify,
       {.stop_while_recording = true},
       Outcome::StoppedBeforeCheck,
       Cause::Stopped,
       true},
      {"verify equal",
       Command::WriteVerify,
       {.reply = ReplyOf(MemorySettings())},
       Outcome::VerifyEqual,
       Cause::None,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemorySettings settings;
    Script script = c.script;
    script.system_text = "the port's words";
    CommandEngine engine(c.command, settings);
    Play(engine, script);
    const CommandResult result = engine.Summary();
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.cause, c.cause);
    EXPECT_EQ(engine.ResultCause(), c.cause);
    EXPECT_EQ(result.frame_sent, c.frame_sent);
    const bool port_failed = c.cause == Cause::Lost || c.cause == Cause::WriteFailed ||
                             c.cause == Cause::WriteTimedOut || IsOpenCause(c.cause);
    EXPECT_EQ(result.system_text, port_failed ? "the port's words" : "");
  }

  MemorySettings refused = WithPassword("12");
  CommandEngine engine(Command::Write, refused);
  Play(engine, {});
  EXPECT_EQ(engine.Summary().cause, Cause::FaultyField);
}

TEST(CommandEngine, EachCommandsSteps) {
  const std::string good = ReplyOf(MemorySettings());
  const std::size_t frame = BuildWriteFrame(MemorySettings()).frame.size();
  const std::string white = "Edit16 white";  // one of the fifteen marks before the frame
  const struct {
    Command command;
    Script script;
    std::vector<std::string> tail;  // the steps after the field marks
  } cases[] = {
      {Command::Write,
       {},
       {"open", "hide write", "send per byte pause 1 bound 100/1000", "show write", "message",
        "finished"}},
      {Command::Read,
       {.reply = good},
       {"open", "hide read", "drop input", "send pause 1 bound 100/1000",
        "collect 3001 by 1000/100", "stop collecting", "log", "take settings", "message",
        "clear buffer", "show read", "finished"}},
      {Command::Listen,
       {},
       {"open as is", "collect 3000 by 1000/100", "stop collecting", "message", "clear buffer",
        "show read", "finished"}},
      {Command::WriteVerify,
       {.reply = good},
       {"open", "hide write", "send per byte pause 1 bound 100/1000", "show write", "interim",
        "wait " + std::to_string(1000 + static_cast<int>(frame) + 3000) + " every 50", "open",
        "hide read", "drop input", "send pause 1 bound 100/1000",
        "collect " + std::to_string(1000 + static_cast<int>(frame) + 3000 + 1 + 2000) +
            " by 1000/100",
        "stop collecting", "log", "message", "clear buffer", "show read", "finished"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.command));
    MemorySettings settings;
    CommandEngine engine(c.command, settings);
    Trace trace = Play(engine, c.script);
    const bool writes = c.command == Command::Write || c.command == Command::WriteVerify;
    // A write checks and marks the fifteen text fields first; a read marks none.
    const std::size_t marks = writes ? 15 : 0;
    ASSERT_GE(trace.steps.size(), marks);
    if (writes) {
      EXPECT_EQ(trace.steps.front(), white);
    }
    std::vector<std::string> tail(trace.steps.begin() + static_cast<long>(marks),
                                  trace.steps.end());
    // The reply's raw entries are logged one step each: count them as one.
    tail.erase(std::unique(tail.begin(), tail.end()), tail.end());
    EXPECT_EQ(tail, c.tail);
    if (writes) {
      EXPECT_EQ(trace.bytes_sent, frame);
    }
    if (c.command == Command::Read) {
      EXPECT_EQ(trace.request, "A5A6");
    }
  }
}

// The read-back compares with what was sent: an edit while the device
// records is no difference in the device, and the read-back changes nothing.
TEST(CommandEngine, VerifyComparesWithTheSettingsAsSent) {
  MemorySettings settings;
  CommandEngine engine(Command::WriteVerify, settings);
  const Trace trace = Play(engine, {.reply = ReplyOf(MemorySettings())}, &settings);
  EXPECT_EQ(trace.outcome, Outcome::VerifyEqual);
  EXPECT_EQ(settings.Text("Edit25"), "9999");
  EXPECT_EQ(engine.Sent().Text("Edit25"), MemorySettings().Text("Edit25"));
}

TEST(CommandEngine, VerifyTakesNoSettingsOverAndReadDoesOnlyOnSuccess) {
  const struct {
    Command command;
    std::string reply;
    bool takes;
  } cases[] = {
      {Command::Read, ReplyOf(WithPassword("4321")), true},
      {Command::Read, "\r\nA0A0" + ReplyOf(WithPassword("4321")), false},
      {Command::WriteVerify, ReplyOf(WithPassword("4321")), false},
  };
  for (const auto& c : cases) {
    MemorySettings settings;
    CommandEngine engine(c.command, settings);
    const Trace trace = Play(engine, {.reply = c.reply});
    EXPECT_EQ(std::count(trace.steps.begin(), trace.steps.end(), "take settings"), c.takes ? 1 : 0);
    if (c.takes) {
      EXPECT_EQ(engine.Reply().texts[kPasswordField], "4321");
    }
  }
}

// A read does not clear what the buffer held when it started (the window's
// ReceiveBuffer), and a STOP keeps it; the end of the window clears it.
TEST(CommandEngine, ReceiveBufferKeptAcrossAStop) {
  MemorySettings settings;
  CommandEngine stopped(Command::Listen, settings, {.receive_buffer = "old"});
  Play(stopped, {.reply = "\r\nnew", .stop_while_collecting = true});
  EXPECT_EQ(stopped.ReceiveBuffer(), "old..new");

  // "A0A0" at the very start is no signal; after earlier text it is.
  CommandEngine evaluated(Command::Read, settings, {.receive_buffer = "x"});
  EXPECT_EQ(Play(evaluated, {.reply = "A0A0"}).outcome, Outcome::NotReady);
  EXPECT_EQ(evaluated.ReceiveBuffer(), "");
}

TEST(CommandEngine, CountdownSaysTheSecondsLeft) {
  MemorySettings settings;
  CommandEngine read(Command::Read, settings);
  EXPECT_EQ(read.Countdown(0), "");
  read.Start(0);
  read.Feed(At(Event::Kind::Opened, 0));
  Event written = At(Event::Kind::Written, 0);
  written.count = 4;
  read.Feed(written);
  const struct {
    double now;
    const char* text;
  } cases[] = {
      {0, "Чтение: 2,0 с"},
      {500, "Чтение: 1,5 с"},
      {1949, "Чтение: 0,1 с"},
      {2600, "Чтение: 0,0 с"},
  };
  for (const auto& c : cases) EXPECT_EQ(read.Countdown(c.now), c.text) << c.now;

  CommandEngine verify(Command::WriteVerify, settings, {.recording_ms = 3000});
  verify.Start(0);
  verify.Feed(At(Event::Kind::Opened, 0));
  Event frame = At(Event::Kind::Written, 100);
  frame.count = BuildWriteFrame(settings).frame.size();
  verify.Feed(frame);
  EXPECT_EQ(verify.Countdown(200), "Запись: 2,9 с");
}

TEST(CommandEngine, EventsOutOfTurnChangeNothing) {
  MemorySettings settings;
  CommandEngine engine(Command::Read, settings);
  EXPECT_TRUE(engine.Feed(At(Event::Kind::Opened, 0)).empty());  // before Start
  engine.Start(0);
  EXPECT_TRUE(engine.Feed(At(Event::Kind::Time, 99999)).empty());  // the port is not open yet
  Event received = At(Event::Kind::Received, 1);
  received.bytes = "ignored";
  EXPECT_TRUE(engine.Feed(received).empty());
  EXPECT_FALSE(engine.Feed(At(Event::Kind::Opened, 2)).empty());
  EXPECT_EQ(engine.ReceiveBuffer(), "");
  EXPECT_TRUE(engine.Start(3).empty());  // once only
}

}  // namespace
}  // namespace qvx::device
