#include "device/command_engine.h"

#include <algorithm>
#include <cmath>

#include "device/command_texts.h"
#include "device/device_link.h"
#include "device/write_checks.h"
#include "device/write_frame.h"
#include "settings/settings_diff.h"
#include "settings/settings_digits.h"

namespace qvx::device {
namespace {

Step Make(Step::Kind kind) {
  Step step;
  step.kind = kind;
  return step;
}

Step Button(Step::Kind kind, bool visible) {
  Step step = Make(kind);
  step.visible = visible;
  return step;
}

Step MessageStep(std::string_view text, std::string_view title, MessageKind kind) {
  Step step = Make(Step::Kind::Message);
  step.text = std::string(text);
  step.title = std::string(title);
  step.message_kind = kind;
  return step;
}

// The lost port's message, with the host's account of it below.
Step LostStep(const Event& event) {
  return MessageStep(WithSystemText(kPortLostText, event.system_text), kPortTitle,
                     MessageKind::Failure);
}

Step SendStep(std::string bytes, bool per_byte) {
  Step step = Make(Step::Kind::Send);
  step.bytes = std::move(bytes);
  step.per_byte = per_byte;
  step.pause_ms = kPauseAfterWriteMs;
  step.bound_ms = kWriteBoundPerByteMs;
  // A buffered write has failed only when its bytes have not left by the
  // time the buffer and the drain behind it may take.
  const int per_write = static_cast<int>(per_byte ? 1 : step.bytes.size());
  step.buffered_bound_ms = std::max(step.bound_ms * per_write, kWriteDrainTimeoutMs);
  return step;
}

// What the frame carries, as settings: the read-back is applied the same way.
MemorySettings SnapshotOf(const Settings& settings) {
  MemorySettings snapshot;
  ApplySettingsDigits(snapshot, ReadSettingsDigits(settings, ListNumbering::Device).digits,
                      ListNumbering::Device);
  WriteTextFields(snapshot, ReadTextFields(settings));
  return snapshot;
}

std::string SecondsLeft(std::string_view what, double left_ms) {
  const long tenths = std::lround(std::max(0.0, left_ms) / 100.0);
  return std::string(what) + ": " + std::to_string(tenths / 10) + "," +
         std::to_string(tenths % 10) + " с";
}

}  // namespace

Outcome ReadOutcome(ReplyOutcome outcome) {
  switch (outcome) {
    case ReplyOutcome::NotReady:
      return Outcome::NotReady;
    case ReplyOutcome::NoData:
      return Outcome::NoData;
    case ReplyOutcome::Faulty:
      return Outcome::Faulty;
    case ReplyOutcome::Abandoned:
      return Outcome::Abandoned;
    case ReplyOutcome::Success:
      return Outcome::ReadSuccess;
  }
  return Outcome::NoData;
}

std::vector<Step> ReceptionEndSteps(const std::string& buffer, ReplyEvaluation& reply) {
  std::vector<Step> steps{Make(Step::Kind::StopCollecting)};
  reply = EvaluateReceiveBuffer(buffer);
  for (const std::string& entry : reply.entries) {
    Step log = Make(Step::Kind::Log);
    log.text = entry;
    steps.push_back(std::move(log));
  }
  if (reply.outcome == ReplyOutcome::Success) steps.push_back(Make(Step::Kind::TakeSettings));
  steps.push_back(MessageStep(reply.message, reply.title, reply.kind));
  steps.push_back(Make(Step::Kind::ClearReceiveBuffer));
  steps.push_back(Button(Step::Kind::ReadButton, true));
  Step finished = Make(Step::Kind::Finished);
  finished.outcome = ReadOutcome(reply.outcome);
  finished.cause = ReadCause(reply.outcome);
  steps.push_back(std::move(finished));
  return steps;
}

Cause ReadCause(ReplyOutcome outcome) {
  switch (outcome) {
    case ReplyOutcome::NotReady:
      return Cause::NotReady;
    case ReplyOutcome::NoData:
      return Cause::NoData;
    case ReplyOutcome::Faulty:
    case ReplyOutcome::Abandoned:
      return Cause::FaultyField;
    case ReplyOutcome::Success:
      break;
  }
  return Cause::None;
}

CommandEngine::CommandEngine(Command command, Settings& settings, EngineOptions options)
    : command_(command),
      settings_(settings),
      options_(std::move(options)),
      buffer_(std::move(options_.receive_buffer)) {}

std::vector<Step> CommandEngine::Start(double now_ms) {
  std::vector<Step> steps;
  if (phase_ != Phase::Idle) return steps;
  until_ms_ = now_ms;
  Begin(steps);
  return steps;
}

void CommandEngine::Begin(std::vector<Step>& steps) {
  if (command_ == Command::Read || command_ == Command::Listen) {
    OpenForReply(steps);
    if (command_ == Command::Listen) steps.back().reopen = false;
    return;
  }
  WriteChecks checks = CheckWrite(settings_);
  steps.insert(steps.end(), std::make_move_iterator(checks.steps.begin()),
               std::make_move_iterator(checks.steps.end()));
  frame_ = std::move(checks.frame);
  if (frame_.empty()) return Finish(steps, Outcome::Refused, Cause::FaultyField);
  sent_ = SnapshotOf(settings_);
  phase_ = Phase::Opening;
  steps.push_back(Make(Step::Kind::OpenPort));
}

void CommandEngine::OpenForReply(std::vector<Step>& steps) {
  phase_ = Phase::Opening;
  reading_ = true;
  steps.push_back(Make(Step::Kind::OpenPort));
}

void CommandEngine::Finish(std::vector<Step>& steps, Outcome outcome, Cause cause,
                           const std::string& system_text) {
  phase_ = Phase::Done;
  result_ = outcome;
  cause_ = cause;
  system_text_ = system_text;
  Step finished = Make(Step::Kind::Finished);
  finished.outcome = outcome;
  finished.cause = cause;
  finished.system_text = system_text;
  steps.push_back(std::move(finished));
}

CommandResult CommandEngine::Summary() const {
  return {command_,         result_.value_or(Outcome::Refused), cause_, system_text_, frame_sent_,
          differing_.size()};
}

std::vector<Step> CommandEngine::Feed(const Event& event) {
  switch (phase_) {
    case Phase::Opening:
      return Opened(event);
    case Phase::Sending:
      return Sending(event);
    case Phase::Recording:
      return Recording(event);
    case Phase::Collecting:
      return Collecting(event);
    case Phase::Idle:
    case Phase::Done:
      break;
  }
  return {};
}

std::vector<Step> CommandEngine::Opened(const Event& event) {
  std::vector<Step> steps;
  const bool listening = command_ == Command::Listen;
  switch (event.kind) {
    case Event::Kind::Opened:
      break;
    case Event::Kind::OpenFailed: {
      Step error =
          MessageStep(WithSystemText(OpenErrorText(OpenResult::CannotOpen), event.system_text),
                      kPortTitle, MessageKind::Failure);
      error.port_error = true;
      steps.push_back(std::move(error));
      // The console listens on whatever the open left.
      if (!listening)
        Finish(steps, Outcome::CannotOpen,
               IsOpenCause(event.cause) ? event.cause : Cause::OpenOther, event.system_text);
      break;
    }
    case Event::Kind::Stop:
      Finish(steps,
             reading_ && VerifyingReply() ? Outcome::StoppedBeforeCheck
             : reading_                   ? Outcome::StoppedReading
                                          : Outcome::StoppedBeforeFrame,
             Cause::Stopped);
      return steps;
    case Event::Kind::Lost:
      steps.push_back(LostStep(event));
      Finish(steps, reading_ ? Outcome::LostMidRead : Outcome::LostMidFrame, Cause::Lost,
             event.system_text);
      return steps;
    default:
      return steps;
  }
  if (phase_ == Phase::Done) return steps;
  if (listening) {
    StartCollecting(steps, event.now_ms);
    return steps;
  }
  phase_ = Phase::Sending;
  written_ = 0;
  if (reading_) {
    steps.push_back(Button(Step::Kind::ReadButton, false));
    // What came after the last reception window (a late answer to an
    // earlier request) is no answer to this one.
    steps.push_back(Make(Step::Kind::DropInput));
    steps.push_back(SendStep(std::string(kReadRequest), false));
  } else {
    steps.push_back(Button(Step::Kind::WriteButton, false));
    steps.push_back(SendStep(frame_, true));
  }
  return steps;
}

void CommandEngine::StartCollecting(std::vector<Step>& steps, double now_ms) {
  phase_ = Phase::Collecting;
  until_ms_ = now_ms + kReceptionWindowMs;
  Step collect = Make(Step::Kind::Collect);
  collect.until_ms = until_ms_;
  collect.read_every_ms = kPauseBetweenReadsMs;
  collect.read_max_bytes = kReadChunk;
  collect.slice_ms = kWaitSliceMs;
  steps.push_back(std::move(collect));
}

std::vector<Step> CommandEngine::Sending(const Event& event) {
  std::vector<Step> steps;
  if (reading_) {
    // A request written short goes on to the reception window all the same:
    // it normally ends with "Не удалось получить данные".
    switch (event.kind) {
      case Event::Kind::Written:
        written_ += event.count;
        if (written_ < kReadRequest.size()) return steps;
        [[fallthrough]];
      case Event::Kind::WriteFailed:
      case Event::Kind::WriteTimedOut:
        StartCollecting(steps, event.now_ms);
        return steps;
      case Event::Kind::Lost:
      case Event::Kind::Stop:
        return Collecting(event);
      default:
        return steps;
    }
  }
  const auto frame_ends = [&](Outcome outcome, Cause cause, std::optional<Step> message) {
    steps.push_back(Button(Step::Kind::WriteButton, true));
    if (message) steps.push_back(std::move(*message));
    Finish(steps, outcome, cause, event.system_text);
  };
  switch (event.kind) {
    case Event::Kind::Written:
      written_ += event.count;
      if (written_ >= frame_.size()) FrameEnded(steps, event.now_ms);
      break;
    case Event::Kind::WriteFailed:
      frame_ends(Outcome::WriteFailed, Cause::WriteFailed,
                 MessageStep(kWriteFailedText, kErrorTitle, MessageKind::Failure));
      break;
    case Event::Kind::WriteTimedOut:
      frame_ends(Outcome::WriteTimedOut, Cause::WriteTimedOut,
                 MessageStep(kWriteTimedOutText, kPortTitle, MessageKind::Failure));
      break;
    case Event::Kind::Lost:
      frame_ends(Outcome::LostMidFrame, Cause::Lost, LostStep(event));
      break;
    case Event::Kind::Stop:
      // The host that asked tells its user: no message.
      frame_ends(written_ == 0 ? Outcome::StoppedBeforeFrame : Outcome::StoppedMidFrame,
                 Cause::Stopped, std::nullopt);
      break;
    default:
      break;
  }
  return steps;
}

void CommandEngine::FrameEnded(std::vector<Step>& steps, double now_ms) {
  frame_sent_ = true;
  steps.push_back(Button(Step::Kind::WriteButton, true));
  Step sent = MessageStep(kSentText, kSentText, MessageKind::Success);
  if (command_ == Command::Write) {
    steps.push_back(std::move(sent));
    return Finish(steps, Outcome::Sent, Cause::None);
  }
  sent.interim = true;
  steps.push_back(std::move(sent));
  phase_ = Phase::Recording;
  until_ms_ = now_ms + options_.recording_ms;
  Step wait = Make(Step::Kind::Wait);
  wait.until_ms = until_ms_;
  wait.slice_ms = kWaitSliceMs;
  steps.push_back(std::move(wait));
}

std::vector<Step> CommandEngine::Recording(const Event& event) {
  std::vector<Step> steps;
  switch (event.kind) {
    case Event::Kind::Time:
      if (event.now_ms >= until_ms_) OpenForReply(steps);
      break;
    case Event::Kind::Stop:
      Finish(steps, Outcome::StoppedBeforeCheck, Cause::Stopped);
      break;
    case Event::Kind::Lost:
      steps.push_back(LostStep(event));
      Finish(steps, Outcome::LostMidRead, Cause::Lost, event.system_text);
      break;
    default:
      break;
  }
  return steps;
}

std::vector<Step> CommandEngine::Collecting(const Event& event) {
  std::vector<Step> steps;
  switch (event.kind) {
    case Event::Kind::Received:
      buffer_ += ReceivedText(event.bytes);
      break;
    case Event::Kind::Time:
      if (event.now_ms >= until_ms_) Evaluate(steps);
      break;
    case Event::Kind::Stop:
      // The console's STOP: nothing is evaluated and ReceiveBuffer keeps its text.
      steps.push_back(Make(Step::Kind::StopCollecting));
      if (phase_ == Phase::Sending) steps.push_back(Button(Step::Kind::ReadButton, true));
      Finish(steps, VerifyingReply() ? Outcome::StoppedBeforeCheck : Outcome::StoppedReading,
             Cause::Stopped);
      break;
    case Event::Kind::Lost:
      steps.push_back(Make(Step::Kind::StopCollecting));
      steps.push_back(LostStep(event));
      steps.push_back(Make(Step::Kind::ClearReceiveBuffer));
      steps.push_back(Button(Step::Kind::ReadButton, true));
      buffer_.clear();
      Finish(steps, Outcome::LostMidRead, Cause::Lost, event.system_text);
      break;
    default:
      break;
  }
  return steps;
}

void CommandEngine::Evaluate(std::vector<Step>& steps) {
  steps = ReceptionEndSteps(buffer_, reply_);
  buffer_.clear();
  phase_ = Phase::Done;
  result_ = steps.back().outcome;
  cause_ = steps.back().cause;
  if (!VerifyingReply()) return;
  // The read-back leaves the caller's settings alone: it compares with what was sent.
  std::erase_if(steps, [](const Step& step) { return step.kind == Step::Kind::TakeSettings; });
  if (reply_.outcome != ReplyOutcome::Success) return;
  held_ = sent_;
  ApplyReply(held_, reply_);
  differing_ = DifferingSettings(sent_, held_);
  Step& message = *std::find_if(steps.begin(), steps.end(),
                                [](const Step& step) { return step.kind == Step::Kind::Message; });
  message.title = std::string(kVerifyTitle);
  if (differing_.empty()) {
    message.text = std::string(kVerifiedText);
    result_ = Outcome::VerifyEqual;
  } else {
    message.text = std::string(kDiffersHead) + " (" + std::to_string(differing_.size()) + "):";
    for (const std::string& line : DifferenceLines()) message.text += "\n" + line;
    message.message_kind = MessageKind::Failure;
    result_ = Outcome::VerifyDifferent;
  }
  steps.back().outcome = *result_;
}

std::vector<std::string> CommandEngine::DifferenceLines() const {
  std::vector<std::string> lines;
  for (const SettingInfo* setting : differing_)
    lines.push_back(DifferenceLine(*setting, sent_, held_));
  return lines;
}

std::string CommandEngine::Countdown(double now_ms) const {
  if (phase_ == Phase::Collecting) return SecondsLeft(kReadingLeft, until_ms_ - now_ms);
  if (phase_ == Phase::Recording) return SecondsLeft(kRecordingLeft, until_ms_ - now_ms);
  return {};
}

}  // namespace qvx::device
