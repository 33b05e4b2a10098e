#include "device/reply.h"

#include <optional>

namespace qvx::device {
namespace {

constexpr std::string_view kErrorTitle = "Ошибка ";
constexpr std::string_view kFaultyMessage = "Произошла ошибка при получении данных";
// A reply cut short (too few entries, an empty phone field) is no faulty
// field: it says so in its own words.
constexpr std::string_view kIncompleteMessage = "Ответ устройства неполный";
constexpr std::size_t kCodeWidth = 6;
constexpr std::size_t kPasswordWidth = 4;
constexpr std::size_t kAddressWidth = 3;

// Digits, ":" and "+" before the first "#", split at every ":".
std::vector<std::string> SplitReply(std::string_view buffer) {
  buffer = buffer.substr(0, buffer.find('#'));
  std::string kept;
  for (char c : buffer)
    if ((c >= '0' && c <= '9') || c == ':' || c == '+') kept += c;
  std::vector<std::string> entries;
  if (kept.empty()) return entries;
  std::size_t start = 0;
  for (std::size_t colon; (colon = kept.find(':', start)) != std::string::npos; start = colon + 1)
    entries.push_back(kept.substr(start, colon - start));
  entries.push_back(kept.substr(start));
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

// Field n (1..30) checked by its rule.
std::optional<std::string> CheckField(int n, const std::string& field) {
  if (n <= 15) return FitWidth(field, kCodeWidth);
  if (n <= 24) return FitPhone(field);
  if (n == 25) return FitWidth(field, kPasswordWidth);
  if (n <= 29) return FitWidth(field, kAddressWidth);
  return FitPort(field);
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
    return Outcome(reply, ReplyOutcome::Abandoned, kIncompleteMessage);
  for (int n = 16; n <= 24; ++n)
    if (entries[n - 1].empty()) return Outcome(reply, ReplyOutcome::Abandoned, kIncompleteMessage);

  std::vector<std::string> fields;
  bool faulty = false;
  for (int n = 1; n <= kReplyFields; ++n) {
    std::optional<std::string> field = CheckField(n, entries[n - 1]);
    faulty = faulty || !field;
    fields.push_back(field.value_or(std::string()));
  }
  if (faulty) return Outcome(reply, ReplyOutcome::Faulty, kFaultyMessage);

  for (int group = 0; group < kDigitGroups; ++group)
    for (int d = 0; d < kDigitsPerGroup; ++d)
      reply.digits[group * kDigitsPerGroup + d] = static_cast<signed char>(fields[group][d]) - '0';
  for (int i = 0; i < kTextFieldCount; ++i) reply.texts[i] = fields[kDigitGroups + i];
  reply.outcome = ReplyOutcome::Success;
  reply.message = reply.title = "Данные успешно получены";
  return reply;
}

}  // namespace

bool HasMarkerAfterFirst(std::string_view buffer, std::string_view marker) {
  const std::size_t at = buffer.find(marker);
  return at != std::string_view::npos && at >= 1;
}

ReplyEvaluation EvaluateReceiveBuffer(std::string_view buffer) {
  if (HasMarkerAfterFirst(buffer, "A0A0"))
    return Outcome({}, ReplyOutcome::NotReady, "SIM-карта ещё не готова");
  if (HasMarkerAfterFirst(buffer, ":#")) return ParseReply(buffer);
  return Outcome({}, ReplyOutcome::NoData, "Не удалось получить данные");
}

void ApplyReply(Settings& settings, const ReplyEvaluation& reply) {
  if (reply.outcome != ReplyOutcome::Success) return;
  ApplySettingsDigits(settings, reply.digits, ListNumbering::Device);
  for (int i = 0; i < kTextFieldCount; ++i) settings.SetText(TextFieldControl(i), reply.texts[i]);
}

}  // namespace qvx::device
