#include "device/device_commands.h"

#include "device/pacing.h"
#include "device/write_frame.h"

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
  LinkHost& host = link.Host();
  const std::string frame = CheckedWriteFrame(settings, host, view);
  if (frame.empty()) return WriteOutcome::Refused;
  if (host.StopRequested()) return WriteOutcome::StoppedBeforeFrame;

  link.EnsureComPortOpen(port_name);
  if (!link.state.PortOpen) return WriteOutcome::PortNotOpen;
  link.state.StopReading = false;

  view.SetWriteButtonVisible(false);
  bool sent = true;
  std::size_t written = 0;
  {
    const PreciseSleeps precise;  // a pause of 1 ms per byte, each as short as allowed
    for (char byte : frame) {
      if (host.StopRequested()) break;
      if (!link.WriteComPort(std::string_view(&byte, 1))) {
        sent = false;
        break;
      }
      ++written;
    }
  }
  view.SetWriteButtonVisible(true);
  if (sent && written < frame.size())
    return written == 0 ? WriteOutcome::StoppedBeforeFrame : WriteOutcome::StoppedMidFrame;
  if (!sent) {
    host.ShowMessage("Ошибка записи в порт", "Ошибка ", MessageKind::Failure);
    return WriteOutcome::WriteFailed;
  }
  host.ShowMessage("Данные успешно отправлены", "Данные успешно отправлены", MessageKind::Success);
  return WriteOutcome::Sent;
}

bool ReadCommand(DeviceLink& link, const std::string& port_name, CommandView& view) {
  link.EnsureComPortOpen(port_name);
  if (!link.state.PortOpen) return false;
  link.state.StopReading = false;
  view.SetReadButtonVisible(false);
  // What came after the last reception window (a late answer to an earlier
  // request) is no answer to this one.
  link.PortHandle().DiscardInput();
  link.WriteComPort("A5A6");
  view.StartReceptionTimer();
  link.ReadComPort();
  return true;
}

void ListenCommand(DeviceLink& link, const std::string& port_name, CommandView& view) {
  link.state.PortName = port_name;
  link.state.PortSettings = std::string(kLineDefinition);
  link.OpenComPort();
  link.state.StopReading = false;
  view.StartReceptionTimer();
  link.ReadComPort();
}

void StopReadingCommand(DeviceLink& link, CommandView& view) {
  link.state.StopReading = true;
  view.StopReceptionTimer();
}

ReplyOutcome ReceptionTimerFired(DeviceLink& link, Settings& settings, CommandView& view) {
  view.StopReceptionTimer();
  link.state.StopReading = true;
  const ReplyEvaluation reply = EvaluateReceiveBuffer(link.state.ReceiveBuffer);
  for (const std::string& entry : reply.entries) link.Host().AppendLog(entry);
  ApplyReply(settings, reply);
  link.Host().ShowMessage(reply.message, reply.title, reply.kind);
  link.state.ReceiveBuffer.clear();
  view.SetReadButtonVisible(true);
  return reply.outcome;
}

}  // namespace qvx::device
