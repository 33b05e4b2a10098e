#include "device/write_checks.h"

#include "device/write_frame.h"

namespace qvx::device {
namespace {

Step Mark(int field, FieldMark mark) {
  Step step;
  step.kind = Step::Kind::MarkField;
  step.field = TextFieldControl(field);
  step.mark = mark;
  return step;
}

Step Refusal(std::string text, std::string title) {
  Step step;
  step.kind = Step::Kind::Message;
  step.text = std::move(text);
  step.title = std::move(title);
  step.message_kind = MessageKind::Refusal;
  return step;
}

Step Tab() {
  Step step;
  step.kind = Step::Kind::SubscriberTab;
  return step;
}

}  // namespace

WriteChecks CheckWrite(Settings& settings) {
  WriteChecks checks;
  const TextCheck check = CheckTextFields(ReadTextFields(settings));
  checks.texts = check.texts;
  WriteTextFields(settings, check.texts);
  // Stages that passed before the failing one have coloured their fields
  // by the time its message shows; only a late red waits for the message.
  const auto mark_fields = [&](bool late) {
    for (int i = 0; i < kTextFieldCount; ++i) {
      if (check.marks[i] == FieldMark::Unchanged) continue;
      const bool waits = check.marks_after_message && check.marks[i] == FieldMark::Red;
      if (waits == late) checks.steps.push_back(Mark(i, check.marks[i]));
    }
  };
  mark_fields(false);
  if (!check.passed) {
    if (check.tab == TabSwitch::BeforeMessage) checks.steps.push_back(Tab());
    checks.steps.push_back(Refusal(check.message, check.title));
    if (check.tab == TabSwitch::AfterMessage) checks.steps.push_back(Tab());
    mark_fields(true);
    return checks;
  }
  WriteFrame built = BuildWriteFrame(settings);
  if (built.frame.empty())
    checks.steps.push_back(Refusal(std::move(built.message), std::move(built.title)));
  checks.frame = std::move(built.frame);
  return checks;
}

}  // namespace qvx::device
