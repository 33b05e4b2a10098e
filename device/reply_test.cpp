#include "device/reply.h"

#include <gtest/gtest.h>

#include "settings/memory_settings.h"
#include "sim/reply_text.h"
#include "tests/support/changed_settings.h"

namespace qvx::device {
namespace {

// The fields as the device sends them, each followed by ":", then "#".
std::string Join(const std::vector<std::string>& fields) {
  return sim::JoinFields(fields) + ":#";
}

std::vector<std::string> ReplyFields(const Settings& settings) {
  return sim::ReplyFields(settings).value();
}

std::string DefaultReply() {
  return Join(ReplyFields(MemorySettings()));
}

std::string WithField(int n, const std::string& value) {
  std::vector<std::string> fields = ReplyFields(MemorySettings());
  fields[n - 1] = value;
  return Join(fields);
}

TEST(ReceiveBuffer, MarkersCountOnlyFromTheSecondCharacter) {
  const struct {
    std::string buffer;
    ReplyOutcome outcome;
    const char* message;
  } cases[] = {
      {"", ReplyOutcome::NoData, "Не удалось получить данные"},
      {":#", ReplyOutcome::NoData, "Не удалось получить данные"},
      {":#" + DefaultReply(), ReplyOutcome::NoData, "Не удалось получить данные"},
      {"A0A0", ReplyOutcome::NoData, "Не удалось получить данные"},
      {"A0A0.A0A0", ReplyOutcome::NoData, "Не удалось получить данные"},
      {"..A0A0", ReplyOutcome::NotReady, "SIM-карта ещё не готова"},
      {"." + DefaultReply() + "A0A0", ReplyOutcome::NotReady, "SIM-карта ещё не готова"},
      // A leading "A0A0" is no signal, but its zeros join the first field.
      {"A0A0" + DefaultReply(), ReplyOutcome::Faulty, "Произошла ошибка при получении данных"},
      {DefaultReply(), ReplyOutcome::Success, "Данные успешно получены"},
      {"..x " + DefaultReply() + "..77:1", ReplyOutcome::Success, "Данные успешно получены"},
  };
  for (const auto& c : cases) {
    const ReplyEvaluation reply = EvaluateReceiveBuffer(c.buffer);
    EXPECT_EQ(reply.outcome, c.outcome) << c.buffer;
    EXPECT_EQ(reply.message, c.message) << c.buffer;
    EXPECT_EQ(reply.title, c.outcome == ReplyOutcome::Success ? c.message : "Ошибка ");
    EXPECT_EQ(reply.kind,
              c.outcome == ReplyOutcome::Success ? MessageKind::Success : MessageKind::Failure);
  }
}

TEST(ReceiveBuffer, NoiseInsideTheReplyIsDropped) {
  std::string noisy;
  for (char c : DefaultReply()) {
    if (c == ':') noisy += "..ab ";
    noisy += c;
  }
  const ReplyEvaluation reply = EvaluateReceiveBuffer(".." + noisy);
  EXPECT_EQ(reply.outcome, ReplyOutcome::Success);
  ASSERT_EQ(reply.entries.size(), 31u);
  EXPECT_EQ(reply.entries.back(), "");
}

TEST(ReceiveBuffer, FieldRules) {
  const struct {
    int field;
    const char* value;
    bool passes;
    const char* taken;  // text for Edit fields when it passes
  } cases[] = {
      {2, "12345", false, nullptr},
      {2, "1+234567", false, nullptr},  // seven digits
      {2, "1+23456", true, nullptr},    // six digits of seven characters
      {15, "0000000", false, nullptr},
      {16, "+123456789012", true, "+123456789012"},
      {16, "+1234567890123", false, nullptr},
      {16, "1234567890123", true, "1234567890123"},
      {16, "12345678901234", false, nullptr},
      {16, "+", true, "+"},
      {16, "12+34", true, "1234"},
      {25, "739", false, nullptr},
      {25, "7+391", true, "7391"},
      {26, "+12", true, "+12"},  // exactly three characters pass unchanged
      {27, "1234", false, nullptr},
      {30, "12345", true, "12345"},
      {30, "123456", false, nullptr},
      {30, "+", false, nullptr},
  };
  for (const auto& c : cases) {
    const ReplyEvaluation reply = EvaluateReceiveBuffer("." + WithField(c.field, c.value));
    EXPECT_EQ(reply.outcome, c.passes ? ReplyOutcome::Success : ReplyOutcome::Faulty)
        << c.field << " " << c.value;
    if (c.taken) {
      EXPECT_EQ(reply.texts[c.field - 16], c.taken);
    }
  }
}

TEST(ReceiveBuffer, ShortOrEmptyPhoneRepliesAreIncomplete) {
  std::vector<std::string> fields = ReplyFields(MemorySettings());
  fields.resize(28);  // with the empty entry after the last ":" that makes 29
  for (const std::string& buffer :
       {"." + Join(fields), "." + WithField(20, ""), std::string(".5:#")}) {
    const ReplyEvaluation reply = EvaluateReceiveBuffer(buffer);
    EXPECT_EQ(reply.outcome, ReplyOutcome::Abandoned) << buffer;
    EXPECT_EQ(reply.message, "Ответ устройства неполный");
    EXPECT_EQ(reply.title, "Ошибка ");
  }
}

TEST(ApplyReply, TakesEverySettingOver) {
  const MemorySettings source = ChangedSettings();
  const ReplyEvaluation reply = EvaluateReceiveBuffer("\n" + Join(ReplyFields(source)));
  ASSERT_EQ(reply.outcome, ReplyOutcome::Success);
  MemorySettings target;
  ApplyReply(target, reply);
  EXPECT_EQ(ReplyFields(target), ReplyFields(source));
}

TEST(ApplyReply, DigitsFollowTheDeviceNumberingAndThresholdSigns) {
  MemorySettings target;
  ApplyReply(target, EvaluateReceiveBuffer("." + WithField(6, "100550")));
  EXPECT_EQ(target.ListIndex("ComboBox11"), 0);
  EXPECT_EQ(target.SliderPosition("TrackBar2"), 5);
  EXPECT_EQ(target.SliderPosition("TrackBar1"), -50);

  MemorySettings other;
  ApplyReply(other, EvaluateReceiveBuffer("." + WithField(6, "011510")));
  EXPECT_EQ(other.SliderPosition("TrackBar1"), 10);
  EXPECT_EQ(other.SliderPosition("TrackBar2"), 10);  // -15 raised by the coupling

  MemorySettings beyond;
  ApplyReply(beyond, EvaluateReceiveBuffer("." + WithField(2, "111119")));
  EXPECT_EQ(beyond.ListIndex("ComboBox12"), 1);
  EXPECT_EQ(beyond.ListIndex("ComboBox62"), kNoSelection);
}

TEST(ApplyReply, FaultyReplyChangesNothingButKeepsTheEntries) {
  MemorySettings settings;
  settings.SetText("Edit16", "+1");
  const ReplyEvaluation reply = EvaluateReceiveBuffer("." + WithField(30, ""));
  ASSERT_EQ(reply.outcome, ReplyOutcome::Faulty);
  EXPECT_EQ(reply.entries.size(), 31u);
  EXPECT_EQ(reply.entries[0], "111111");
  ApplyReply(settings, reply);
  EXPECT_EQ(settings.Text("Edit16"), "+1");
}

}  // namespace
}  // namespace qvx::device
