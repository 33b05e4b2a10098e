#include "device/device_commands.h"

#include <cmath>

#include "device/command_runner.h"

namespace qvx::device {
namespace {

CommandResult Run(Command command, DeviceLink& link, Settings& settings,
                  const std::string& port_name, CommandView& view) {
  // A read does not clear ReceiveBuffer when it starts: the link keeps it
  // between commands.
  CommandEngine engine(command, settings, {.receive_buffer = link.state.ReceiveBuffer});
  const std::optional<Outcome> outcome = RunCommand(engine, link, settings, view, port_name);
  if (!outcome) return {command, Outcome::StoppedReading, Cause::Stopped};
  return engine.Summary();
}

}  // namespace

CommandResult WriteCommand(DeviceLink& link, Settings& settings, const std::string& port_name,
                           CommandView& view) {
  return Run(Command::Write, link, settings, port_name, view);
}

CommandResult ReadCommand(DeviceLink& link, Settings& settings, const std::string& port_name,
                          CommandView& view) {
  return Run(Command::Read, link, settings, port_name, view);
}

CommandResult ListenCommand(DeviceLink& link, Settings& settings, const std::string& port_name,
                            CommandView& view) {
  return Run(Command::Listen, link, settings, port_name, view);
}

void StopReadingCommand(DeviceLink& link, CommandView& view) {
  Event stop;
  stop.kind = Event::Kind::Stop;
  stop.now_ms = link.Host().NowMs();
  if (FeedCollecting(link, view, stop)) return;
  link.state.StopReading = true;
  view.StopReceptionTimer();
}

void ReceptionTimerFired(DeviceLink& link, Settings& settings, CommandView& view) {
  if (RunningCommand* running = link.collecting) {
    Event time;
    time.kind = Event::Kind::Time;
    time.now_ms = link.Host().NowMs();
    const double due_ms = running->engine.DueMs();
    if (time.now_ms < due_ms) {
      view.StartReceptionTimer(static_cast<int>(std::ceil(due_ms - time.now_ms)));
      return;
    }
    FeedCollecting(link, view, time);
    return;
  }
  ReplyEvaluation reply;
  for (const Step& step : ReceptionEndSteps(link.state.ReceiveBuffer, reply))
    ApplyStep(step, reply, link, &settings, view);
}

}  // namespace qvx::device
