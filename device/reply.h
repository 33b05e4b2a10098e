// Evaluation of what arrived during the reception window (ReceiveBuffer):
// the not-ready signal, the device reply and its field checks. Pure: the
// caller logs the entries, shows the message and, on success, applies the
// values with ApplyReply.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "device/message_kind.h"
#include "device/text_fields.h"
#include "settings/settings.h"
#include "settings/settings_digits.h"

namespace qvx::device {

inline constexpr int kReplyFields = kDigitGroups + kTextFieldCount;

enum class ReplyOutcome {
  NotReady,  // "A0A0": the device's SIM card is not ready
  NoData,    // no end mark ":#"
  Faulty,    // a field failed its check
  Abandoned,  // fewer than 30 entries or an empty phone field: "Ответ устройства неполный"
  Success,
};

struct ReplyEvaluation {
  ReplyOutcome outcome = ReplyOutcome::NoData;
  std::string message;
  std::string title;
  MessageKind kind = MessageKind::Failure;  // Success only for the outcome Success
  std::vector<std::string> entries;  // raw entries for the console log (parsed outcomes only)
  SettingsDigits digits{};  // Success: fields 1..15, device numbering (any value; '+' gives -5)
  TextFields texts;         // Success: fields 16..30 for Edit16..Edit30
};

// First occurrence of marker starting at the second character or later.
bool HasMarkerAfterFirst(std::string_view buffer, std::string_view marker);

// Evaluates the received text; never throws.
ReplyEvaluation EvaluateReceiveBuffer(std::string_view buffer);

// Sets the controls from a successful evaluation in table order (digits of
// fields 1..14, then Edit16..Edit30). Does nothing for other outcomes.
void ApplyReply(Settings& settings, const ReplyEvaluation& reply);

}  // namespace qvx::device
