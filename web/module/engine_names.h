// The names by which the engine's steps, outcomes and messages cross into
// JavaScript, and back: one table each, so the engine's binding and the
// batch's read them alike.
#pragma once

#include <optional>
#include <string_view>

#include "device/command_engine.h"
#include "device/message_kind.h"
#include "device/reply.h"
#include "page_model.h"

namespace qvx::web {

// "sent", "verifyEqual", "cannotOpen", "stoppedMidFrame", ...
const char* OutcomeName(device::Outcome outcome);
// The outcome named so; nullopt for a name that is none (a page's failure).
std::optional<device::Outcome> OutcomeNamed(std::string_view name);

// "success", "noData", "notReady", "faulty", "abandoned".
const char* ReplyOutcomeName(device::ReplyOutcome outcome);

// "success", "refusal", "failure".
const char* MessageKindName(device::MessageKind kind);

// A step of the engine: "red"/"white" for a field's mark, "send", "wait", ...
const char* EngineStepName(const device::Step& step);

// A step of the page's write checks: "white", "red", "subscriberTab", "message".
const char* StepKindName(Step::Kind kind);

}  // namespace qvx::web
