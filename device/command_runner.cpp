#include "device/command_runner.h"

#include <algorithm>
#include <cmath>

#include "device/pacing.h"

namespace qvx::device {
namespace {

class Runner {
 public:
  Runner(CommandEngine& engine, DeviceLink& link, Settings& settings, CommandView& view,
         const std::string& port_name, const StepFilter& filter)
      : engine_(engine),
        link_(link),
        settings_(settings),
        view_(view),
        port_name_(port_name),
        running_{engine, filter, settings} {}

  std::optional<Outcome> Run() {
    std::vector<Step> steps = engine_.Start(Now());
    for (;;) {
      std::vector<Step> next;
      for (const Step& step : steps) {
        if (step.kind == Step::Kind::Finished) return step.outcome;
        const bool shown = Shown(step);  // an awaited step runs all the same
        if (!Awaits(step.kind)) {
          if (shown) ApplyStep(step, engine_.Reply(), link_, &settings_, view_);
          continue;
        }
        next = Await(step);
        break;
      }
      if (engine_.Result() && next.empty()) return engine_.Result();
      if (next.empty()) return std::nullopt;  // a nested command ended the read loop
      steps = std::move(next);
    }
  }

 private:
  static bool Awaits(Step::Kind kind) {
    return kind == Step::Kind::OpenPort || kind == Step::Kind::Send ||
           kind == Step::Kind::Collect || kind == Step::Kind::Wait;
  }

  bool Shown(const Step& step) const { return !running_.filter || running_.filter(step); }

  LinkHost& Host() { return link_.Host(); }
  double Now() { return Host().NowMs(); }

  Event At(Event::Kind kind) {
    Event event;
    event.kind = kind;
    event.now_ms = Now();
    return event;
  }

  std::vector<Step> Await(const Step& step) {
    switch (step.kind) {
      case Step::Kind::OpenPort:
        return Open(step);
      case Step::Kind::Send:
        return Send(step);
      case Step::Kind::Collect:
        return Collect(step);
      case Step::Kind::Wait:
        return Wait(step);
      default:
        return {};
    }
  }

  std::vector<Step> Open(const Step& step) {
    if (Host().StopRequested()) return engine_.Feed(At(Event::Kind::Stop));
    if (step.reopen) {
      link_.EnsureComPortOpen(port_name_);
    } else {
      link_.state.PortName = port_name_;
      link_.state.PortSettings = std::string(kLineDefinition);
      link_.OpenComPort();
    }
    Event event = At(link_.state.PortOpen ? Event::Kind::Opened : Event::Kind::OpenFailed);
    if (!link_.state.PortOpen) {
      const PortFailure failure = link_.PortHandle().LastFailure();
      event.cause = failure.cause;
      event.system_text = failure.text;
    }
    if (link_.state.PortOpen) link_.state.StopReading = false;
    return engine_.Feed(event);
  }

  // Every write of the step with its pause; the port bounds each write by
  // the step's bound a byte (SerialPort::Write).
  std::vector<Step> Send(const Step& step) {
    // A frame's pauses each as short as allowed.
    std::optional<PreciseSleeps> precise;
    if (step.per_byte) precise.emplace();
    const std::size_t piece = step.per_byte ? 1 : step.bytes.size();
    for (std::size_t at = 0; at < step.bytes.size(); at += piece) {
      if (step.per_byte && Host().StopRequested()) return engine_.Feed(At(Event::Kind::Stop));
      const std::string_view bytes = std::string_view(step.bytes).substr(at, piece);
      const bool written = link_.WriteComPort(bytes, step.pause_ms);
      Event event = written ? At(Event::Kind::Written)
                            : WriteFailureEvent(link_.PortHandle().LastFailure(),
                                                Host().TellsWriteFailuresApart(), Now());
      if (written) event.count = bytes.size();
      if (std::vector<Step> next = engine_.Feed(event); !next.empty()) return next;
    }
    return {};
  }

  // The read loop at the step's pace until its time. A view that times the
  // reception ends it from inside (ReceptionTimerFired); otherwise the loop
  // tells the engine the time after each turn. A stop ends it either way.
  std::vector<Step> Collect(const Step& step) {
    link_.state.StopReading = false;
    const bool timed_by_view = view_.TimesReception();
    view_.StartReceptionTimer(MillisecondsUntil(step.until_ms));
    RunningCommand* outer = link_.collecting;
    link_.collecting = &running_;
    DeviceLink::ReadLoop loop;
    loop.max_bytes = step.read_max_bytes;
    loop.pause_ms = step.read_every_ms;
    loop.received = [this](std::string_view bytes) {
      if (link_.collecting != &running_ || bytes.empty()) return;
      Event event = At(Event::Kind::Received);
      event.bytes = std::string(bytes);
      engine_.Feed(event);
    };
    loop.turn_ended = [this, timed_by_view] {
      if (link_.collecting != &running_ || engine_.Result()) return;
      if (Host().StopRequested())
        FeedCollecting(link_, view_, At(Event::Kind::Stop));
      else if (!timed_by_view)
        FeedCollecting(link_, view_, At(Event::Kind::Time));
    };
    link_.ReadComPort(loop);
    link_.collecting = outer;
    return {};
  }

  std::vector<Step> Wait(const Step& step) {
    for (;;) {
      const double now = Now();
      if (now >= step.until_ms) {
        Event event = At(Event::Kind::Time);
        event.now_ms = now;
        return engine_.Feed(event);
      }
      if (Host().StopRequested()) return engine_.Feed(At(Event::Kind::Stop));
      Host().Pause(std::min(step.slice_ms, MillisecondsUntil(step.until_ms)));
    }
  }

  int MillisecondsUntil(double until_ms) {
    return std::max(0, static_cast<int>(std::ceil(until_ms - Now())));
  }

  CommandEngine& engine_;
  DeviceLink& link_;
  Settings& settings_;
  CommandView& view_;
  const std::string& port_name_;
  RunningCommand running_;
};

}  // namespace

Event WriteFailureEvent(const PortFailure& failure, bool tell_apart, double now_ms) {
  Event event;
  event.kind = Event::Kind::WriteFailed;
  if (tell_apart && failure.cause == Cause::Lost) event.kind = Event::Kind::Lost;
  if (tell_apart && failure.cause == Cause::WriteTimedOut) event.kind = Event::Kind::WriteTimedOut;
  event.now_ms = now_ms;
  event.system_text = failure.text;
  return event;
}

void ApplyStep(const Step& step, const ReplyEvaluation& reply, DeviceLink& link, Settings* settings,
               CommandView& view) {
  switch (step.kind) {
    case Step::Kind::MarkField:
      view.MarkTextField(step.field, step.mark);
      break;
    case Step::Kind::SubscriberTab:
      view.ShowSubscriberTab();
      break;
    case Step::Kind::WriteButton:
      view.SetWriteButtonVisible(step.visible);
      break;
    case Step::Kind::ReadButton:
      view.SetReadButtonVisible(step.visible);
      break;
    case Step::Kind::DropInput:
      link.PortHandle().DiscardInput();
      break;
    case Step::Kind::StopCollecting:
      view.StopReceptionTimer();
      link.state.StopReading = true;
      break;
    case Step::Kind::Log:
      link.Host().AppendLog(step.text);
      break;
    case Step::Kind::TakeSettings:
      if (settings) ApplyReply(*settings, reply);
      break;
    case Step::Kind::ClearReceiveBuffer:
      link.state.ReceiveBuffer.clear();
      break;
    case Step::Kind::Message:
      if (!step.port_error) link.Host().ShowMessage(step.text, step.title, step.message_kind);
      break;
    default:
      break;
  }
}

bool FeedCollecting(DeviceLink& link, CommandView& view, const Event& event) {
  RunningCommand* running = link.collecting;
  if (!running) return false;
  for (const Step& step : running->engine.Feed(event)) {
    if (running->filter && !running->filter(step)) continue;
    ApplyStep(step, running->engine.Reply(), link, &running->settings, view);
  }
  return true;
}

std::optional<Outcome> RunCommand(CommandEngine& engine, DeviceLink& link, Settings& settings,
                                  CommandView& view, const std::string& port_name,
                                  const StepFilter& filter) {
  return Runner(engine, link, settings, view, port_name, filter).Run();
}

}  // namespace qvx::device
