#include "device/device_commands.h"

#include <algorithm>

#include "device/command_runner.h"
#include "device/write_frame.h"
#include "settings/memory_settings.h"

namespace qvx::device {
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
