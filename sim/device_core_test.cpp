#include "sim/device_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "device/reply.h"
#include "sim/reply_text.h"
#include "tests/support/test_frames.h"

namespace qvx::sim {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using testing::Frame;

const std::string kDefaultReply =
    "\r\n111111:111111:111111:000000:000000:100050:111111:123911:101111:111111:000000:111111:"
    "001107:110400:000000:+380501234567:+380501234567:+380501234567:+380501234567:"
    "+380501234567:+380501234567:+380501234567:+380501234567:+380501234567:7391:000:111:222:"
    "333:20198:#\r\n";

// What the configurator keeps of a reply: digits, ":" and "+", before the first "#".
std::string Kept(const std::string& text) {
  std::string kept;
  for (char c : text.substr(0, text.find('#')))
    if ((c >= '0' && c <= '9') || c == ':' || c == '+') kept += c;
  return kept;
}

struct Device {
  explicit Device(SimOptions options = {})
      : core({}, options, [this](const LogEntry& entry) {
          if (entry.kind == LogEntry::Kind::Note) notes.push_back(entry.text);
        }) {}

  // Sends text at t0 and collects everything the device sends within a minute.
  std::vector<Emission> Exchange(const std::string& text) {
    core.Receive(text, t0);
    return core.TakeDue(t0 + 60s);
  }
  std::string Answer(const std::string& text) {
    std::string all;
    for (const Emission& emission : Exchange(text)) all += emission.bytes;
    return all;
  }
  bool Beeped() const { return std::count(notes.begin(), notes.end(), "three long beeps") > 0; }

  Clock::time_point t0 = Clock::now();
  std::vector<std::string> notes;
  DeviceCore core;
};

TEST(DeviceCoreTest, AnswersReadRequestWithDefaultsAfterTheDelay) {
  Device device(SimOptions{.reply_delay = 30ms});
  device.core.Receive("xyA5", device.t0);
  device.core.Receive("A6", device.t0 + 1ms);
  EXPECT_TRUE(device.core.TakeDue(device.t0 + 30ms).empty());
  EXPECT_EQ(device.core.NextDue(), device.t0 + 31ms);
  const auto sent = device.core.TakeDue(device.t0 + 31ms);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes, kDefaultReply);
  EXPECT_EQ(device.core.NextDue(), Clock::time_point::max());
  EXPECT_EQ(device.core.RequestsAnswered(), 1);
}

TEST(DeviceCoreTest, StoresWriteFrameAndAnswersWithIt) {
  Device device;
  ASSERT_EQ(testing::kChangedBlock.size(), 90u);
  EXPECT_TRUE(device.Exchange(Frame(testing::kChangedBlock, testing::kChangedTexts)).empty());
  EXPECT_EQ(device.core.FramesStored(), 1);
  EXPECT_TRUE(device.Beeped());

  const MemorySettings& stored = device.core.Settings();
  EXPECT_EQ(stored.ListIndex("ComboBox11"), 1);  // device digit 2
  EXPECT_EQ(stored.ListIndex("ComboBox10106"), 8);
  EXPECT_EQ(stored.SliderPosition("TrackBar2"), 42);
  EXPECT_EQ(stored.SliderPosition("TrackBar1"), -7);
  EXPECT_EQ(stored.RadioNumber("Set13.1"), 2);
  EXPECT_EQ(stored.RadioNumber("Set14.1"), 0);
  EXPECT_EQ(stored.Text("Edit19"), "+");
  EXPECT_EQ(stored.Text("Edit26"), "192");
  EXPECT_EQ(stored.Text("Edit29"), "010");

  std::string expected;
  for (int group = 0; group < 15; ++group)
    expected += testing::kChangedBlock.substr(group * 6, 6) + ":";
  expected += "+1:0987654321098:+123456789012:+:5:6:7:8:9:1234:192:168:001:010:8080:";
  EXPECT_EQ(Kept(device.Answer("A5A6")), expected);
}

TEST(DeviceCoreTest, DefaultFrameStoresTheDefaults) {
  Device device;
  device.Exchange(Frame(testing::kDefaultBlock, testing::kDefaultTexts));
  EXPECT_EQ(device.core.FramesStored(), 1);
  EXPECT_EQ(device.Answer("A5A6"), kDefaultReply);
}

TEST(DeviceCoreTest, ThresholdsRoundTripWhateverWasStoredBefore) {
  for (const std::string group6 : {"104207", "001520", "119999", "000150", "100050"}) {
    Device device;
    std::string block = testing::kChangedBlock;
    device.Exchange(Frame(block, testing::kChangedTexts));
    block.replace(30, 6, group6);
    device.Exchange(Frame(block, testing::kChangedTexts));
    EXPECT_EQ(device.core.FramesStored(), 2) << group6;
    EXPECT_EQ(Kept(device.Answer("A5A6")).substr(35, 6), group6);
  }
}

TEST(DeviceCoreTest, RefusesMalformedFramesAndKeepsSettings) {
  const std::string& block = testing::kChangedBlock;
  const std::string& texts = testing::kChangedTexts;
  auto with_block = [&](std::size_t at, const std::string& digits) {
    std::string changed = block;
    changed.replace(at, digits.size(), digits);
    return Frame(changed, texts);
  };
  auto with_text = [&](const std::string& from, const std::string& to) {
    std::string changed = texts;
    changed.replace(changed.find(from), from.size(), to);
    return Frame(block, changed);
  };
  const struct {
    const char* what;
    std::string frame;
  } cases[] = {
      {"block one digit short", Frame(block.substr(1), texts)},
      {"letter in block", with_block(40, "x")},
      {"group 1 digit 0", with_block(0, "0")},
      {"group 1 beyond its list", with_block(5, "8")},
      {"TrackBar10102 at 0", with_block(55, "0")},
      {"radio Set13.1 at 3", with_block(72, "3")},
      {"filler of group 14", with_block(82, "1")},
      {"filler of group 15", with_block(89, "1")},
      {"negative zero threshold", with_block(30, "000050")},
      {"missing subscriber tag", with_text("#ABN55", "")},
      {"subscribers out of order", with_text("#ABN66#ABN77", "#ABN77#ABN66")},
      {"empty subscriber", with_text("#ABN55", "#ABN5")},
      {"plus inside a number", with_text("#ABN55", "#ABN55+5")},
      {"fourteen digits", with_text("#ABN20987654321098", "#ABN209876543210987")},
      {"plus and thirteen digits", with_text("#ABN3+123456789012", "#ABN3+1234567890123")},
      {"password of three digits", with_text("#T11234", "#T1123")},
      {"password with a letter", with_text("#T11234", "#T112a4")},
      {"address of eleven digits", with_text("#T2192168001010", "#T219216801010")},
      {"empty port", with_text("#T38080", "#T3")},
      {"port of six digits", with_text("#T38080", "#T3808080")},
      {"text after the port", with_text("#T38080", "#T38080#T4")},
      {"lower-case tag", with_text("#ABN1", "#abn1")},
  };
  for (const auto& c : cases) {
    Device device;
    device.Exchange(c.frame);
    EXPECT_EQ(device.core.FramesRefused(), 1) << c.what;
    EXPECT_EQ(device.core.FramesStored(), 0) << c.what;
    EXPECT_FALSE(device.Beeped()) << c.what;
    EXPECT_EQ(device.Answer("A5A6"), kDefaultReply) << c.what;
  }
}

TEST(DeviceCoreTest, AbandonedFrameGivesWayToTheNextCommand) {
  const std::string good = Frame(testing::kChangedBlock, testing::kChangedTexts);
  {
    Device device;  // a read request in the middle of a frame is answered
    EXPECT_EQ(device.Answer(good.substr(0, 120) + "A5A6"), kDefaultReply);
    EXPECT_EQ(device.core.FramesRefused(), 1);
  }
  {
    Device device;  // a frame started again is stored
    device.Exchange(good.substr(0, 200) + good);
    EXPECT_EQ(device.core.FramesRefused(), 1);
    EXPECT_EQ(device.core.FramesStored(), 1);
  }
  {
    Device device;  // a frame that never ends is dropped, then a frame is stored
    device.Exchange("A3A4" + std::string(600, '7') + good);
    EXPECT_EQ(device.core.FramesRefused(), 1);
    EXPECT_EQ(device.core.FramesStored(), 1);
  }
}

TEST(DeviceCoreTest, SurvivesGarbageAndStillWorksAfterIt) {
  const std::string alphabet = "A3A4A5A6#ABNT0123456789+:\r\n\0\xff"s;
  std::mt19937 random(7);
  Device device;
  for (int round = 0; round < 3000; ++round) {
    std::string garbage(random() % 40, ' ');
    for (char& c : garbage) c = alphabet[random() % alphabet.size()];
    device.core.Receive(garbage, device.t0);
  }
  device.core.TakeDue(device.t0 + 60s);
  device.Exchange("##" + Frame(testing::kChangedBlock, testing::kChangedTexts));
  EXPECT_EQ(device.core.Settings().SliderPosition("TrackBar2"), 42);
}

TEST(DeviceCoreTest, OptionsShapeTheAnswer) {
  const std::string kept_default = Kept(kDefaultReply);
  {
    Device device(SimOptions{.not_ready = true});
    EXPECT_EQ(device.Answer("A5A6"), "\r\nA0A0\r\n");
  }
  {
    Device device(SimOptions{.silent = true});
    EXPECT_EQ(device.Answer("A5A6"), "");
    device.Exchange(Frame(testing::kChangedBlock, testing::kChangedTexts));
    EXPECT_EQ(device.core.FramesStored(), 1);  // silent, not deaf
  }
  {
    Device device(SimOptions{.noise = true, .seed = 3});
    const std::string noisy = device.Answer("A5A6");
    EXPECT_NE(noisy, kDefaultReply);
    EXPECT_EQ(Kept(noisy), kept_default);
    EXPECT_NE(noisy.find(":#"), std::string::npos);
    EXPECT_EQ(noisy.find("A0A0"), std::string::npos);
  }
  {
    Device device(SimOptions{.answer_twice = true});
    EXPECT_EQ(device.Answer("A5A6"), kDefaultReply + kDefaultReply);
  }
  {
    Device device(SimOptions{.flood = 3000});
    const std::string flooded = device.Answer("A5A6");
    ASSERT_EQ(flooded.size(), 3000 + kDefaultReply.size());
    EXPECT_EQ(flooded.substr(3000), kDefaultReply);
    EXPECT_EQ(Kept(flooded), kept_default);
  }
}

TEST(DeviceCoreTest, TimingOptions) {
  {
    Device device(SimOptions{.reply_delay = 10ms, .late = 2500ms});
    device.core.Receive("A5A6", device.t0);
    EXPECT_EQ(device.core.NextDue(), device.t0 + 2500ms);
  }
  {
    Device device(SimOptions{.reply_delay = 10ms, .trickle = 5ms});
    const auto sent = device.Exchange("A5A6");
    ASSERT_EQ(sent.size(), kDefaultReply.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
      EXPECT_EQ(sent[i].bytes, kDefaultReply.substr(i, 1));
      EXPECT_EQ(sent[i].due, device.t0 + 10ms + 5ms * static_cast<int>(i));
    }
  }
  {
    Device device(SimOptions{.reply_delay = 10ms});  // a second request queues behind
    device.core.Receive("A5A6", device.t0);
    device.core.Receive("A5A6", device.t0 - 5ms);
    EXPECT_EQ(device.core.TakeDue(device.t0 + 10ms).size(), 2u);
  }
}

// The replies that break the configurator's reading each in their own way,
// as the configurator's own rule reads them.
TEST(DeviceCoreTest, FaultyRepliesAreReadAsTheirFault) {
  using device::ReplyOutcome;
  const std::string half = kDefaultReply.substr(0, kDefaultReply.size() / 2);
  std::string short_code = kDefaultReply;
  short_code.erase(7, 1);  // "\r\n11111:" after the line end
  std::string long_port = kDefaultReply;
  long_port.insert(long_port.size() - 4, "0");  // "20198" + "0" before ":#\r\n"
  const struct {
    const char* name;
    SimOptions options;
    std::string answer;  // empty: checked by its shape only
    ReplyOutcome outcome;
  } cases[] = {
      {"plain", {}, kDefaultReply, ReplyOutcome::Success},
      {"not ready", {.not_ready = true}, "\r\nA0A0\r\n", ReplyOutcome::NotReady},
      {"garbage", {.garbage = true}, "", ReplyOutcome::NoData},
      {"half reply", {.half_reply = true}, half, ReplyOutcome::NoData},
      {"code field of five", {.faulty_field = FaultyField::Code}, short_code, ReplyOutcome::Faulty},
      {"port of six", {.faulty_field = FaultyField::Port}, long_port, ReplyOutcome::Faulty},
  };
  for (const auto& c : cases) {
    Device device(c.options);
    const std::string answer = device.Answer("A5A6");
    if (!c.answer.empty()) {
      EXPECT_EQ(answer, c.answer) << c.name;
    }
    EXPECT_EQ(device::EvaluateReceiveBuffer(answer).outcome, c.outcome) << c.name;
  }
  Device garbage(SimOptions{.garbage = true});
  const std::string noise = garbage.Answer("A5A6");
  EXPECT_EQ(noise.size(), kDefaultReply.size());
  EXPECT_EQ(Kept(noise), "");
}

// A line that closes and one that only stops taking bytes both let nothing
// past the count in; only the closed one drops what it still had to say.
TEST(DeviceCoreTest, TakesNoBytesPastTheGivenCount) {
  const struct {
    SimOptions options;
    bool hung_up;
    bool stalled;
    std::size_t replies;
  } cases[] = {
      {{.hangup_after = 6}, true, false, 0},
      {{.stall_after = 6}, false, true, 1},
      {{.hangup_after = 6, .stall_after = 7}, true, false, 0},
  };
  for (const auto& c : cases) {
    Device device(c.options);
    device.core.Receive("A5A6", device.t0);
    EXPECT_FALSE(device.core.HungUp() || device.core.Stalled());
    device.core.Receive("xyA5A6", device.t0);
    device.core.Receive("A5A6", device.t0);
    EXPECT_EQ(device.core.HungUp(), c.hung_up);
    EXPECT_EQ(device.core.Stalled(), c.stalled);
    EXPECT_EQ(device.core.TakeDue(device.t0 + 60s).size(), c.replies);
    EXPECT_EQ(device.core.RequestsAnswered(), 1);  // bytes after the 6th ignored
  }
}

}  // namespace
}  // namespace qvx::sim
