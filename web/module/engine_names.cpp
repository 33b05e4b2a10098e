#include "engine_names.h"

#include <array>
#include <utility>

namespace qvx::web {
namespace {

using O = device::Outcome;

constexpr std::array<std::pair<O, const char*>, 18> kOutcomes{{
    {O::Refused, "refused"},
    {O::CannotOpen, "cannotOpen"},
    {O::WriteFailed, "writeFailed"},
    {O::WriteTimedOut, "writeTimedOut"},
    {O::LostMidFrame, "lostMidFrame"},
    {O::LostMidRead, "lostMidRead"},
    {O::StoppedBeforeFrame, "stoppedBeforeFrame"},
    {O::StoppedMidFrame, "stoppedMidFrame"},
    {O::StoppedBeforeCheck, "stoppedBeforeCheck"},
    {O::StoppedReading, "stoppedReading"},
    {O::NoData, "noData"},
    {O::NotReady, "notReady"},
    {O::Faulty, "faulty"},
    {O::Abandoned, "abandoned"},
    {O::ReadSuccess, "readSuccess"},
    {O::Sent, "sent"},
    {O::VerifyEqual, "verifyEqual"},
    {O::VerifyDifferent, "verifyDifferent"},
}};

}  // namespace

const char* OutcomeName(device::Outcome outcome) {
  for (const auto& [value, name] : kOutcomes)
    if (value == outcome) return name;
  return "";
}

std::optional<device::Outcome> OutcomeNamed(std::string_view name) {
  for (const auto& [value, known] : kOutcomes)
    if (name == known) return value;
  return std::nullopt;
}

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

const char* StepKindName(Step::Kind kind) {
  switch (kind) {
    case Step::Kind::MarkWhite:
      return "white";
    case Step::Kind::MarkRed:
      return "red";
    case Step::Kind::SubscriberTab:
      return "subscriberTab";
    case Step::Kind::Message:
      return "message";
  }
  return "";
}

}  // namespace qvx::web
