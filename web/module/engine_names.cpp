#include "engine_names.h"

#include <algorithm>
#include <string>

#include "js_values.h"

namespace qvx::web {

const char* ReplyOutcomeName(device::ReplyOutcome outcome) {
  switch (outcome) {
    case device::ReplyOutcome::NotReady:
      return "notReady";
    case device::ReplyOutcome::NoData:
      return "noData";
    case device::ReplyOutcome::Faulty:
      return "faulty";
    case device::ReplyOutcome::Abandoned:
      return "abandoned";
    case device::ReplyOutcome::Success:
      return "success";
  }
  return "";
}

const char* MessageKindName(device::MessageKind kind) {
  switch (kind) {
    case device::MessageKind::Success:
      return "success";
    case device::MessageKind::Refusal:
      return "refusal";
    case device::MessageKind::Failure:
      return "failure";
  }
  return "";
}

const char* EngineStepName(const device::Step& step) {
  using K = device::Step::Kind;
  switch (step.kind) {
    case K::MarkField:
      return step.mark == device::FieldMark::Red ? "red" : "white";
    case K::SubscriberTab:
      return "subscriberTab";
    case K::WriteButton:
      return "writeButton";
    case K::ReadButton:
      return "readButton";
    case K::OpenPort:
      return "openPort";
    case K::DropInput:
      return "dropInput";
    case K::Send:
      return "send";
    case K::Collect:
      return "collect";
    case K::StopCollecting:
      return "stopCollecting";
    case K::Wait:
      return "wait";
    case K::Log:
      return "log";
    case K::TakeSettings:
      return "settings";
    case K::ClearReceiveBuffer:
      return "clearBuffer";
    case K::Message:
      return "message";
    case K::Finished:
      return "finished";
  }
  return "";
}

emscripten::val ResultObject(const device::CommandResult& result) {
  emscripten::val object = emscripten::val::object();
  object.set("outcome", std::string(device::OutcomeCode(result.outcome)));
  object.set("cause", std::string(device::CauseCode(result.cause)));
  object.set("systemText", result.system_text);
  object.set("frameSent", result.frame_sent);
  object.set("differing", static_cast<double>(result.differing));
  return object;
}

std::optional<device::CommandResult> ResultOf(const emscripten::val& object) {
  const std::optional<device::Outcome> outcome = device::OutcomeOfCode(StringOf(object, "outcome"));
  if (!outcome) return std::nullopt;
  device::CommandResult result;
  result.outcome = *outcome;
  result.cause = device::CauseOfCode(StringOf(object, "cause")).value_or(device::Cause::None);
  result.system_text = StringOf(object, "systemText");
  result.frame_sent = object["frameSent"].isTrue();
  if (object["differing"].isNumber())
    result.differing = static_cast<std::size_t>(std::max(0.0, object["differing"].as<double>()));
  return result;
}

}  // namespace qvx::web
