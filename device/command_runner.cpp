#include "device/command_runner.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "device/pacing.h"

namespace qvx::device {
namespace {

constexpr int kWaitSliceMs = 50;  // how soon a wait notices a stop

Event At(Event::Kind kind) {
  Event event;
  event.kind = kind;
  event.now_ms = NowMs();
  return event;
}

class Runner {
 public:
  Runner(CommandEngine& engine, DeviceLink& link, Settings& settings, CommandView& view,
         const std::string& port_name, const StepFilter& filter)
      : engine_(engine),
        link_(link),
        settings_(settings),
        view_(view),
        port_name_(port_name),
        running_{engine, filter} {}

  std::optional<Outcome> Run() {
    std::vector<Step> steps = engine_.Start(NowMs());
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

  std::vector<Step> Await(const Step& step) {
    switch (step.kind) {
      case Step::Kind::OpenPort:
        return Open(step);
      case Step::Kind::Send:
        return Send(step);
      case Step::Kind::Collect:
        return Collect();
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

  std::vector<Step> Send(const Step& step) {
    // A pause of 1 ms per byte of a frame, each as short as allowed.
    std::optional<PreciseSleeps> precise;
    if (step.per_byte) precise.emplace();
    const std::size_t piece = step.per_byte ? 1 : step.bytes.size();
    for (std::size_t at = 0; at < step.bytes.size(); at += piece) {
      if (step.per_byte && Host().StopRequested()) return engine_.Feed(At(Event::Kind::Stop));
      const std::string_view bytes = std::string_view(step.bytes).substr(at, piece);
      Event event = At(link_.WriteComPort(bytes) ? Event::Kind::Written : Event::Kind::WriteFailed);
      event.count = bytes.size();
      if (std::vector<Step> next = engine_.Feed(event); !next.empty()) return next;
    }
    return {};
  }

  // The read loop with the reception timer: the timer's handler and STOP end
  // it from inside, through FeedCollecting.
  std::vector<Step> Collect() {
    link_.state.StopReading = false;
    view_.StartReceptionTimer();
    RunningCommand* outer = link_.collecting;
    link_.collecting = &running_;
    link_.ReadComPort([this](std::string_view bytes) {
      if (link_.collecting != &running_ || bytes.empty()) return;
      Event event = At(Event::Kind::Received);
      event.bytes = std::string(bytes);
      engine_.Feed(event);
    });
    link_.collecting = outer;
    if (engine_.Result() || !Host().StopRequested()) return {};
    const std::vector<Step> stopped = engine_.Feed(At(Event::Kind::Stop));
    for (const Step& step : stopped)
      if (step.kind != Step::Kind::Finished && Shown(step))
        ApplyStep(step, engine_.Reply(), link_, &settings_, view_);
    return {};
  }

  std::vector<Step> Wait(const Step& step) {
    for (;;) {
      const double now = NowMs();
      if (now >= step.until_ms) {
        Event event = At(Event::Kind::Time);
        event.now_ms = now;
        return engine_.Feed(event);
      }
      if (Host().StopRequested()) return engine_.Feed(At(Event::Kind::Stop));
      Host().Pause(std::min(kWaitSliceMs, static_cast<int>(std::ceil(step.until_ms - now))));
    }
  }

  CommandEngine& engine_;
  DeviceLink& link_;
  Settings& settings_;
  CommandView& view_;
  const std::string& port_name_;
  RunningCommand running_;
};

}  // namespace

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
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

bool FeedCollecting(DeviceLink& link, Settings* settings, CommandView& view, const Event& event) {
  RunningCommand* running = link.collecting;
  if (!running) return false;
  for (const Step& step : running->engine.Feed(event)) {
    if (running->filter && !running->filter(step)) continue;
    ApplyStep(step, running->engine.Reply(), link, settings, view);
  }
  return true;
}

std::optional<Outcome> RunCommand(CommandEngine& engine, DeviceLink& link, Settings& settings,
                                  CommandView& view, const std::string& port_name,
                                  const StepFilter& filter) {
  return Runner(engine, link, settings, view, port_name, filter).Run();
}

}  // namespace qvx::device
