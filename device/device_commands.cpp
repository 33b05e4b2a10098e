#include "device/device_commands.h"

#include <algorithm>

#include "device/command_runner.h"
#include "device/write_frame.h"
#include "settings/memory_settings.h"

namespace qvx::device {
namespace {

// Applies a check's texts and marks in the order the user sees them.
bool ApplyTextCheck(const TextCheck& check, Settings& settings, LinkHost& host, CommandView& view) {
  WriteTextFields(settings, check.texts);
  // Stages that passed before the failing one have coloured their fields
  // by the time its message shows; only a late red waits for the message.
  const auto mark_fields = [&](bool late) {
    for (int i = 0; i < kTextFieldCount; ++i) {
      if (check.marks[i] == FieldMark::Unchanged) continue;
      const bool waits = check.marks_after_message && check.marks[i] == FieldMark::Red;
      if (waits == late) view.MarkTextField(TextFieldControl(i), check.marks[i]);
    }
  };
  mark_fields(false);
  if (check.passed) return true;
  if (check.tab == TabSwitch::BeforeMessage) view.ShowSubscriberTab();
  host.ShowMessage(check.message, check.title, MessageKind::Refusal);
  if (check.tab == TabSwitch::AfterMessage) view.ShowSubscriberTab();
  mark_fields(true);
  return false;
}

}  // namespace

std::string CheckedWriteFrame(Settings& settings, LinkHost& host, CommandView& view) {
  if (!ApplyTextCheck(CheckTextFields(ReadTextFields(settings)), settings, host, view)) return {};
  WriteFrame built = BuildWriteFrame(settings);
  if (built.frame.empty()) host.ShowMessage(built.message, built.title, MessageKind::Refusal);
  return std::move(built.frame);
}

WriteOutcome WriteCommand(DeviceLink& link, Settings& settings, const std::string& port_name,
                          CommandView& view) {
  CommandEngine engine(Command::Write, settings);
  switch (RunCommand(engine, link, settings, view, port_name).value_or(Outcome::Refused)) {
    case Outcome::Sent:
      return WriteOutcome::Sent;
    case Outcome::CannotOpen:
      return WriteOutcome::PortNotOpen;
    case Outcome::WriteFailed:
    case Outcome::WriteTimedOut:
    case Outcome::LostMidFrame:
      return WriteOutcome::WriteFailed;
    case Outcome::StoppedBeforeFrame:
      return WriteOutcome::StoppedBeforeFrame;
    case Outcome::StoppedMidFrame:
      return WriteOutcome::StoppedMidFrame;
    default:
      return WriteOutcome::Refused;
  }
}

bool ReadCommand(DeviceLink& link, const std::string& port_name, CommandView& view) {
  // The read takes nothing from the settings; the reply reaches them through
  // ReceptionTimerFired.
  MemorySettings unused;
  CommandEngine engine(Command::Read, unused, {.receive_buffer = link.state.ReceiveBuffer});
  return RunCommand(engine, link, unused, view, port_name) != Outcome::CannotOpen;
}

void ListenCommand(DeviceLink& link, const std::string& port_name, CommandView& view) {
  MemorySettings unused;
  CommandEngine engine(Command::Listen, unused, {.receive_buffer = link.state.ReceiveBuffer});
  RunCommand(engine, link, unused, view, port_name);
}

void StopReadingCommand(DeviceLink& link, CommandView& view) {
  Event stop;
  stop.kind = Event::Kind::Stop;
  stop.now_ms = NowMs();
  if (FeedCollecting(link, nullptr, view, stop)) return;
  link.state.StopReading = true;
  view.StopReceptionTimer();
}

ReplyOutcome ReceptionTimerFired(DeviceLink& link, Settings& settings, CommandView& view) {
  if (RunningCommand* running = link.collecting) {
    Event due;
    due.kind = Event::Kind::Time;
    due.now_ms = std::max(NowMs(), running->engine.DueMs());
    FeedCollecting(link, &settings, view, due);
    return running->engine.Reply().outcome;
  }
  ReplyEvaluation reply;
  for (const Step& step : ReceptionEndSteps(link.state.ReceiveBuffer, reply))
    ApplyStep(step, reply, link, &settings, view);
  return reply.outcome;
}

}  // namespace qvx::device
