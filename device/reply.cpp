#include "device/reply.h"

#include <optional>
#include <utility>

#include "device/command_texts.h"
#include "device/protocol.h"

namespace qvx::device {
namespace {

constexpr std::string_view kFaultyMessage = "Произошла ошибка при получении данных";
// A reply cut short (too few entries, an empty phone field) is no faulty
// field: it says so in its own words.
constexpr std::string_view kIncompleteMessage = "Ответ устройства неполный";

// Digits, ":" and "+" before the first "#", split at every ":".
std::vector<std::string> SplitReply(std::string_view buffer) {
  buffer = buffer.substr(0, buffer.find('#'));
  // One pass: drop every other character, start an entry at each colon.
  std::vector<std::string> entries(1);
  bool kept_any = false;
  for (char c : buffer) {
    if (c == ':') {
      entries.emplace_back();
    } else if ((c >= '0' && c <= '9') || c == '+') {
      entries.back() += c;
    } else {
      continue;
    }
    kept_any = true;
  }
  if (!kept_any) entries.clear();
  return entries;
}

// Fixed-width field: exactly `width` characters pass as they are; a longer
// field passes when it holds exactly `width` digits.
std::optional<std::string> FitWidth(const std::string& field, std::size_t width) {
  if (field.size() == width) return field;
  if (field.size() < width) return std::nullopt;
  std::string digits = KeepDigits(field);
  if (digits.size() != width) return std::nullopt;
  return digits;
}

std::optional<std::string> FitPhone(const std::string& field) {
  std::string phone = NormalisePhone(field);
  if (phone.size() > kMaxPhoneLength) return std::nullopt;
  return phone;
}

std::optional<std::string> FitPort(const std::string& field) {
  std::string digits = KeepDigits(field);
  if (digits.empty() || digits.size() > kMaxPortDigits) return std::nullopt;
  return digits;
}

// Entry i (0..29) checked by its rule: the digit groups, then the text
// fields in field order.
std::optional<std::string> CheckEntry(int i, const std::string& entry) {
  if (i < kDigitGroups) return FitWidth(entry, kDigitsPerGroup);
  const int field = i - kDigitGroups;
  if (field < kPhoneFields) return FitPhone(entry);
  if (field == kPasswordField) return FitWidth(entry, kPasswordLength);
  if (field < kFirstAddressField + kAddressFields) return FitWidth(entry, kMaxAddressDigits);
  return FitPort(entry);
}

ReplyEvaluation Outcome(ReplyEvaluation reply, ReplyOutcome outcome, std::string_view message) {
  reply.outcome = outcome;
  reply.message = message;
  reply.title = kErrorTitle;
  return reply;
}

ReplyEvaluation ParseReply(std::string_view buffer) {
  ReplyEvaluation reply;
  reply.entries = SplitReply(buffer);
  const auto& entries = reply.entries;
  if (entries.size() < kReplyFields)
    return Outcome(std::move(reply), ReplyOutcome::Abandoned, kIncompleteMessage);
  for (int phone = 0; phone < kPhoneFields; ++phone)
    if (entries[kDigitGroups + phone].empty())
      return Outcome(std::move(reply), ReplyOutcome::Abandoned, kIncompleteMessage);

  std::vector<std::string> fields;
  fields.reserve(kReplyFields);
  bool faulty = false;
  for (int i = 0; i < kReplyFields; ++i) {
    std::optional<std::string> field = CheckEntry(i, entries[i]);
    faulty = faulty || !field;
    fields.push_back(field.value_or(std::string()));
  }
  if (faulty) return Outcome(std::move(reply), ReplyOutcome::Faulty, kFaultyMessage);

  for (int group = 0; group < kDigitGroups; ++group)
    for (int d = 0; d < kDigitsPerGroup; ++d)
      reply.digits[group * kDigitsPerGroup + d] = static_cast<signed char>(fields[group][d]) - '0';
  for (int i = 0; i < kTextFieldCount; ++i) reply.texts[i] = std::move(fields[kDigitGroups + i]);
  reply.outcome = ReplyOutcome::Success;
  reply.message = reply.title = "Данные успешно получены";
  reply.kind = MessageKind::Success;
  return reply;
}

}  // namespace

bool HasMarkerAfterFirst(std::string_view buffer, std::string_view marker) {
  const std::size_t at = buffer.find(marker);
  return at != std::string_view::npos && at >= 1;
}

ReplyEvaluation EvaluateReceiveBuffer(std::string_view buffer) {
  if (HasMarkerAfterFirst(buffer, kNotReadySignal))
    return Outcome({}, ReplyOutcome::NotReady, "SIM-карта ещё не готова");
  if (HasMarkerAfterFirst(buffer, kReplyEnd)) return ParseReply(buffer);
  return Outcome({}, ReplyOutcome::NoData, "Не удалось получить данные");
}

void ApplyReply(Settings& settings, const ReplyEvaluation& reply) {
  if (reply.outcome != ReplyOutcome::Success) return;
  ApplySettingsDigits(settings, reply.digits, ListNumbering::Device);
  for (int i = 0; i < kTextFieldCount; ++i) settings.SetText(TextFieldControl(i), reply.texts[i]);
}

}  // namespace qvx::device
