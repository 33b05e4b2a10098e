// One command of the core's engine on a model, step by step, as JavaScript's
// quorvex.CommandEngine (see web/page/commands.js), and the exchange's
// constants the page shows.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "device/causes.h"
#include "device/command_engine.h"
#include "device/device_commands.h"
#include "device/line_definition.h"
#include "device/next_steps.h"
#include "device/protocol.h"
#include "engine_names.h"
#include "guarded.h"
#include "js_values.h"
#include "model_binding.h"
#include "page_tools.h"

namespace qvx::web {
namespace {

using emscripten::val;

// The serial port's options for the browser, from the window's line
// definition: 57600 baud, 8 data bits, no parity, 1 stop bit, no flow control.
val LineOptions() {
  const device::LineSettings line =
      device::ParseLineDefinition(device::kLineDefinition).value_or(device::LineSettings{});
  val options = val::object();
  options.set("baudRate", line.baud);
  options.set("dataBits", line.data_bits);
  options.set("parity", val(line.parity == device::Parity::Even  ? "even"
                            : line.parity == device::Parity::Odd ? "odd"
                                                                 : "none"));
  options.set("stopBits", line.stop_bits == device::StopBits::Two ? 2 : 1);
  options.set("flowControl", val("none"));
  return options;
}

// The exchange's constants, for what the page shows about them; the
// commands take theirs from the engine's steps.
val Protocol() {
  val protocol = val::object();
  protocol.set("readRequest", Bytes(device::kReadRequest));
  protocol.set("receptionWindowMs", device::kReceptionWindowMs);
  protocol.set("recordingMs", device::kRecordingMs);
  protocol.set("pauseAfterWriteMs", device::kPauseAfterWriteMs);
  protocol.set("lineOptions", LineOptions());
  protocol.set("writeTimeoutMs", device::kWriteDrainTimeoutMs);
  return protocol;
}

// `text` as the engine words it, with the browser's `system_text` on a line
// of its own below, turned into the cause's sentence with the browser's
// words in brackets after it: "Связь с портом потеряна: ... (The device has
// been lost.). Порт откроется ...". A text without that line stays as is.
std::string CauseThenBrackets(const std::string& text, const std::string& system_text) {
  const std::string below = "\n" + system_text;
  if (system_text.empty() || !text.ends_with(below)) return text;
  const std::string cause = text.substr(0, text.size() - below.size());
  const std::size_t sentence_end = cause.find(". ");
  if (sentence_end == std::string::npos) return device::InBrackets(cause, system_text);
  return device::InBrackets(cause.substr(0, sentence_end), system_text) +
         cause.substr(sentence_end);
}

device::Command CommandOf(const std::string& name) {
  if (name == "read") return device::Command::Read;
  if (name == "writeVerify") return device::Command::WriteVerify;
  return device::Command::Write;
}

device::Event::Kind EventKindOf(const std::string& kind) {
  using K = device::Event::Kind;
  static const std::pair<const char*, K> kKinds[] = {
      {"opened", K::Opened},
      {"openFailed", K::OpenFailed},
      {"written", K::Written},
      {"writeFailed", K::WriteFailed},
      {"writeTimedOut", K::WriteTimedOut},
      {"received", K::Received},
      {"time", K::Time},
      {"lost", K::Lost},
  };
  for (const auto& [name, value] : kKinds)
    if (kind == name) return value;
  return K::Stop;
}

class Engine {
 public:
  Engine(Model& model, const std::string& command)
      : model_(model), engine_(CommandOf(command), model.Settings()) {}

  val Start(double now_ms) { return Steps(engine_.Start(now_ms)); }

  // {kind, nowMs, count, bytes, cause, systemText}: kind "opened",
  // "openFailed", "written", "writeFailed", "writeTimedOut", "received",
  // "time", "lost", "stop" (an unknown kind is a stop); cause a code of
  // device::CauseCode ("busy", "denied", "missing", "openOther" for an open),
  // systemText the browser's own words.
  val Feed(const val& event) {
    device::Event fed;
    fed.kind = EventKindOf(event["kind"].as<std::string>());
    fed.now_ms = event["nowMs"].isNumber() ? event["nowMs"].as<double>() : 0;
    if (event["count"].isNumber()) fed.count = event["count"].as<std::size_t>();
    if (!event["bytes"].isUndefined() && !event["bytes"].isNull())
      fed.bytes = FromBytes(event["bytes"]);
    fed.cause = device::CauseOfCode(StringOf(event, "cause")).value_or(device::Cause::None);
    fed.system_text = StringOf(event, "systemText");
    return Steps(engine_.Feed(fed));
  }

  // Once finished: {outcome, cause, systemText, frameSent, differing}; null before.
  val Summary() const { return engine_.Result() ? ResultObject(engine_.Summary()) : val::null(); }

  std::string Countdown(double now_ms) const { return engine_.Countdown(now_ms); }
  val Differences() const { return Strings(engine_.DifferenceLines()); }

  // For the history: a write's settings as sent, or the settings a read took
  // over, as a .qvx file's bytes; null when the command sent or took none.
  val SettingsFile() const {
    const auto result = engine_.Result();
    using O = device::Outcome;
    if (!result || *result == O::Refused || *result == O::CannotOpen ||
        *result == O::StoppedBeforeFrame)
      return val::null();
    const bool read = engine_.Kind() == device::Command::Read;
    if (read && *result != O::ReadSuccess) return val::null();
    const std::string file = FileBytes(read ? model_.Settings() : engine_.Sent());
    return file.empty() ? val::null() : Bytes(file);
  }

 private:
  // A message that ends the command gets the page's own line below it
  // ("note": what to know or do next); a lost port's, the browser's words in
  // brackets after the cause in place of a line of their own.
  val Steps(const std::vector<device::Step>& steps) {
    const auto finished = std::find_if(steps.begin(), steps.end(), [](const device::Step& step) {
      return step.kind == device::Step::Kind::Finished;
    });
    return Array(steps, [&](const device::Step& step) {
      val object = StepValue(step);
      if (step.kind == device::Step::Kind::Message && !step.interim && finished != steps.end()) {
        // An open failure's line is the page's own words already.
        if (finished->cause == device::Cause::Lost)
          object.set("text", CauseThenBrackets(step.text, finished->system_text));
        object.set("note", std::string(device::NextStep(finished->outcome, finished->cause)));
      }
      return object;
    });
  }

  val StepValue(const device::Step& step) {
    using K = device::Step::Kind;
    val object = val::object();
    object.set("kind", val(EngineStepName(step)));
    switch (step.kind) {
      case K::MarkField:
        object.set("field", step.field);
        break;
      case K::WriteButton:
      case K::ReadButton:
        object.set("visible", step.visible);
        break;
      case K::Send:
        object.set("bytes", Bytes(step.bytes));
        object.set("perByte", step.per_byte);
        object.set("pauseMs", step.pause_ms);
        // The browser's writes pass its pipe first: the buffered bound.
        object.set("timeoutMs", step.buffered_bound_ms);
        break;
      case K::Collect:
        object.set("readEveryMs", step.read_every_ms);
        object.set("readMaxBytes", static_cast<int>(step.read_max_bytes));
        [[fallthrough]];
      case K::Wait:
        object.set("untilMs", step.until_ms);
        object.set("sliceMs", step.slice_ms);
        break;
      case K::Log:
        object.set("text", step.text);
        break;
      case K::TakeSettings:
        // Taken over now: the step tells the page to show them.
        device::ApplyReply(model_.Settings(), engine_.Reply());
        break;
      case K::Message:
        object.set("text", step.text);
        object.set("title", step.title);
        object.set("messageKind", val(MessageKindName(step.message_kind)));
        object.set("portError", step.port_error);
        object.set("interim", step.interim);
        break;
      case K::Finished:
        object.set("outcome", std::string(device::OutcomeCode(step.outcome)));
        object.set("cause", std::string(device::CauseCode(step.cause)));
        object.set("systemText", step.system_text);
        break;
      default:
        break;
    }
    return object;
  }

  Model& model_;
  device::CommandEngine engine_;
};

}  // namespace
}  // namespace qvx::web

EMSCRIPTEN_BINDINGS(quorvex_engine) {
  using namespace qvx::web;
  emscripten::function("protocol", &Protocol);
  emscripten::class_<Engine>("CommandEngine")
      .constructor<Model&, std::string>()
      .function("start", kGuarded<&Engine::Start>)
      .function("feed", kGuarded<&Engine::Feed>)
      .function("countdown", kGuarded<&Engine::Countdown>)
      .function("differences", kGuarded<&Engine::Differences>)
      .function("settingsFile", kGuarded<&Engine::SettingsFile>)
      .function("summary", kGuarded<&Engine::Summary>);
}
