// The names by which the engine's steps, a reply's outcome and a message's
// kind cross into JavaScript, and a finished command's result both ways. A
// command's outcome and cause cross by the core's own codes
// (device::OutcomeCode, device::CauseCode).
#pragma once

#include <emscripten/val.h>

#include <optional>

#include "device/command_engine.h"
#include "device/message_kind.h"
#include "device/reply.h"

namespace qvx::web {

// "success", "noData", "notReady", "faulty", "abandoned".
const char* ReplyOutcomeName(device::ReplyOutcome outcome);

// "success", "refusal", "failure".
const char* MessageKindName(device::MessageKind kind);

// A step of the engine: "red"/"white" for a field's mark, "send", "wait", ...
const char* EngineStepName(const device::Step& step);

// {outcome, cause, systemText, frameSent, differing}: codes, the port's
// own words apart.
emscripten::val ResultObject(const device::CommandResult& result);
// The result such an object holds; nothing when its outcome is no code of
// the core's (a command the page's own failure ended).
std::optional<device::CommandResult> ResultOf(const emscripten::val& object);

}  // namespace qvx::web
