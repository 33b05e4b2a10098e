// Runs a command engine to its end over the device link, on the calling
// thread, as the window and the command-line tool do: each step as the
// engine wrote it (a Send with its pause and bound, a Collect until its
// time at its pace, a Wait until its time in its slices), on the host's
// clock, the only clock of a command. Returns only when the command is over.
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
  Settings& settings;  // where a reply is taken over
};

// Runs `engine` from Start on `port_name`. A Collect runs the link's read
// loop: a view that times the reception itself (the window's Timer1) is
// started for the collection's due time and ends it through
// ReceptionTimerFired; otherwise the loop tells the engine the time after
// each turn. The console's STOP ends it through StopReadingCommand.
// Returns the outcome, or nothing when a nested command took the read loop
// over and ended it.
std::optional<Outcome> RunCommand(CommandEngine& engine, DeviceLink& link, Settings& settings,
                                  CommandView& view, const std::string& port_name,
                                  const StepFilter& filter = {});

// Feeds `event` to the engine whose read loop runs on `link` and carries out
// the steps it gives. False when no read loop runs there.
bool FeedCollecting(DeviceLink& link, CommandView& view, const Event& event);

// Carries out a step that awaits nothing (marks, buttons, log lines,
// messages, ...); a port error is left out, as the link's open has shown it.
// `settings` may be null when no reply is taken over.
void ApplyStep(const Step& step, const ReplyEvaluation& reply, DeviceLink& link, Settings* settings,
               CommandView& view);

// The event a failed write gives, from the port's account of it: lost,
// timed out or failed, when the host tells them apart, else failed; with
// the port's own words.
Event WriteFailureEvent(const PortFailure& failure, bool tell_apart, double now_ms);

}  // namespace qvx::device
