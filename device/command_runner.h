// Runs a command engine to its end over the device link, on the calling
// thread, as the window and the command-line tool do: the link's operations
// open, write and read, the host shows and pauses, the view changes the
// window's other controls. Returns only when the command is over.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "device/command_engine.h"
#include "device/device_commands.h"

namespace qvx::device {

// Sees each step before it runs; returns false to leave out one that awaits
// nothing (a caller that keeps a part of a command quiet).
using StepFilter = std::function<bool(const Step&)>;

// A command whose read loop runs, as the link knows it.
struct RunningCommand {
  CommandEngine& engine;
  StepFilter filter;
};

// Runs `engine` from Start on `port_name`. A Collect runs the link's read
// loop with the reception timer; the timer's handler ends it through
// ReceptionTimerFired, the console's STOP through StopReadingCommand.
// Returns the outcome, or nothing when a nested command took the read loop
// over and ended it.
std::optional<Outcome> RunCommand(CommandEngine& engine, DeviceLink& link, Settings& settings,
                                  CommandView& view, const std::string& port_name,
                                  const StepFilter& filter = {});

// Feeds `event` to the engine whose read loop runs on `link` and carries out
// the steps it gives (`settings` may be null when the event takes no reply
// over, such as a stop). False when no read loop runs there.
bool FeedCollecting(DeviceLink& link, Settings* settings, CommandView& view, const Event& event);

// Carries out a step that awaits nothing (marks, buttons, log lines,
// messages, ...); a port error is left out, as the link's open has shown it.
void ApplyStep(const Step& step, const ReplyEvaluation& reply, DeviceLink& link, Settings* settings,
               CommandView& view);

// The host's clock in milliseconds, as the runner feeds it.
double NowMs();

}  // namespace qvx::device
