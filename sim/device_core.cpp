#include "sim/device_core.h"

#include <algorithm>

#include "settings/settings_digits.h"
#include "sim/frame_body.h"
#include "sim/reply_text.h"

namespace qvx::sim {

namespace {

// Longest body kept while waiting for "##": a valid one has at most 282
// characters; beyond this the frame is refused rather than buffered forever.
constexpr std::size_t kMaxFrameBody = 512;

// A faulty memory cell: the first list of the catalogue holds the next entry.
void StoreOneDigitWrong(MemorySettings& settings) {
  for (const SettingInfo& setting : Catalogue()) {
    if (setting.kind != SettingKind::List) continue;
    const int index = settings.ListIndex(setting.name);
    settings.SetListIndex(setting.name, (index + 1) % static_cast<int>(setting.options.size()));
    return;
  }
}

// A field that breaks its rule: a code field one digit short, a port one
// digit too long.
void BreakField(std::vector<std::string>& fields, FaultyField which) {
  if (which == FaultyField::Code) fields.front().pop_back();
  if (which == FaultyField::Port) fields.back() += '0';
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

DeviceCore::DeviceCore(MemorySettings settings, SimOptions options, LogSink sink)
    : settings_(std::move(settings)),
      options_(options),
      sink_(std::move(sink)),
      noise_(options.seed) {}

void DeviceCore::Receive(std::string_view bytes, Clock::time_point at) {
  if (hung_up_ || stalled_) return;
  // Neither a closed line nor one that stopped taking bytes lets more through.
  std::size_t limit = SIZE_MAX;
  for (const std::size_t after : {options_.hangup_after, options_.stall_after})
    if (after > 0) limit = std::min(limit, after);
  if (limit != SIZE_MAX) bytes = bytes.substr(0, limit - std::min(received_, limit));
  if (sink_ && !bytes.empty()) sink_({LogEntry::Kind::In, at, std::string(bytes), {}});
  for (char byte : bytes) {
    TakeByte(byte, at);
    ++received_;
    if (options_.hangup_after > 0 && received_ >= options_.hangup_after) {
      Note("hanging up after " + std::to_string(received_) + " bytes", at);
      pending_.clear();
      hung_up_ = true;
    } else if (options_.stall_after > 0 && received_ >= options_.stall_after) {
      Note("taking no more bytes after " + std::to_string(received_), at);
      stalled_ = true;
    }
  }
}

void DeviceCore::TakeByte(char byte, Clock::time_point at) {
  if (!in_frame_) {
    recent_ += byte;
    if (recent_.size() > kReadCommand.size()) recent_.erase(0, 1);
    if (recent_ == kReadCommand) {
      recent_.clear();
      Answer(at);
    } else if (recent_ == kWriteCommand) {
      recent_.clear();
      frame_.clear();
      in_frame_ = true;
    }
    return;
  }
  frame_ += byte;
  if (EndsWith(frame_, kFrameEnd)) {
    in_frame_ = false;
    FinishFrame(std::string_view(frame_).substr(0, frame_.size() - kFrameEnd.size()), at);
  } else if (EndsWith(frame_, kReadCommand)) {
    // No valid frame holds "A5A6": the sender gave up on the frame.
    in_frame_ = false;
    Refuse("cut short by a read request", at);
    Answer(at);
  } else if (EndsWith(frame_, kWriteCommand)) {
    Refuse("cut short by a new write frame", at);
    frame_.clear();
  } else if (frame_.size() > kMaxFrameBody) {
    in_frame_ = false;
    Refuse("no \"##\" within " + std::to_string(kMaxFrameBody) + " characters", at);
  }
}

void DeviceCore::Answer(Clock::time_point at) {
  ++requests_;
  if (options_.silent) {
    Note("read request ignored (silent)", at);
    return;
  }
  std::string answer;
  if (options_.not_ready) {
    answer = std::string(kNotReady);
  } else if (auto fields = ReplyFields(settings_)) {
    BreakField(*fields, options_.faulty_field);
    std::string reply = ReplyText(*fields);
    if (options_.half_reply) reply.resize(reply.size() / 2);
    if (options_.garbage) reply = noise_.Text(reply.size());
    answer = options_.noise ? noise_.AddTo(reply) : reply;
    if (options_.answer_twice) answer += options_.noise ? noise_.AddTo(reply) : reply;
  } else {
    const DigitsReading digits = ReadSettingsDigits(settings_, ListNumbering::Device);
    Note("запрос чтения без ответа: " +
             (digits.unselected ? UnselectedListMessage(*digits.unselected) : "?"),
         at);
    return;
  }
  const auto wait = options_.late.count() > 0 ? options_.late : options_.reply_delay;
  Note("read request: answering " + std::to_string(options_.flood + answer.size()) + " bytes", at);
  Schedule(options_.flood, answer, at + wait);
}

void DeviceCore::Schedule(std::size_t noise, const std::string& bytes, Clock::time_point start) {
  // A second answer queues behind the first instead of mixing with it.
  if (!pending_.empty()) {
    const Pending& last = pending_.back();
    const auto steps = static_cast<Clock::rep>(last.Left() - 1);
    start = std::max(start, last.due + last.step * steps);
  }
  pending_.push_back({start, noise, bytes, 0, std::max(Clock::duration(options_.trickle), {})});
}

void DeviceCore::FinishFrame(std::string_view body, Clock::time_point at) {
  const FrameReading reading = ReadFrameBody(body);
  if (!reading.error.empty()) return Refuse(reading.error, at);

  // Every setting comes with the frame, so start from the defaults: that way
  // the temperature coupling cannot depend on what was stored before.
  MemorySettings stored;
  ApplySettingsDigits(stored, reading.content.digits, ListNumbering::Device);
  const DigitsReading check = ReadSettingsDigits(stored, ListNumbering::Device);
  if (check.unselected)
    return Refuse("no entry of " + std::string(check.unselected->name) + " for its digit", at);
  const auto [sent, kept] = std::mismatch(reading.content.digits.begin(),
                                          reading.content.digits.end(), check.digits.begin());
  if (sent != reading.content.digits.end()) {
    const auto place = sent - reading.content.digits.begin();
    return Refuse("group " + std::to_string(place / kDigitsPerGroup + 1) + " digit " +
                      std::to_string(place % kDigitsPerGroup + 1) + " (" + std::to_string(*sent) +
                      ") cannot be stored, it would read back as " + std::to_string(*kept),
                  at);
  }
  for (std::size_t i = 0; i < TextFieldSettings().size(); ++i)
    stored.SetText(TextFieldSettings()[i]->name, reading.content.texts[i]);

  if (options_.store_nothing) {
    ++frames_stored_;
    Note("write frame taken, nothing stored (store-nothing)", at);
    Note("three long beeps", at);
    return;
  }
  if (options_.store_wrong_digit) StoreOneDigitWrong(stored);
  settings_ = stored;
  ++frames_stored_;
  Note("stored " + JoinFields(*ReplyFields(settings_)), at);
  Note("three long beeps", at);
}

void DeviceCore::Refuse(const std::string& why, Clock::time_point at) {
  ++frames_refused_;
  Note("write frame refused, settings kept: " + why, at);
}

std::vector<Emission> DeviceCore::TakeDue(Clock::time_point now, std::size_t max_bytes) {
  std::vector<Emission> due;
  std::size_t taken = 0;
  while (!pending_.empty() && pending_.front().due <= now && taken < max_bytes) {
    Pending& next = pending_.front();
    const std::size_t room = next.step.count() > 0 ? 1 : max_bytes - taken;
    Emission emission{next.due, {}};
    if (next.noise > 0) {
      const std::size_t count = std::min(room, next.noise);
      emission.bytes = noise_.Text(count);
      next.noise -= count;
    } else {
      const std::size_t count = std::min(room, next.bytes.size() - next.sent);
      emission.bytes = next.bytes.substr(next.sent, count);
      next.sent += count;
    }
    next.due += next.step;
    taken += emission.bytes.size();
    if (next.Left() == 0) pending_.pop_front();
    if (sink_) sink_({LogEntry::Kind::Out, now, emission.bytes, {}});
    due.push_back(std::move(emission));
  }
  return due;
}

Clock::time_point DeviceCore::NextDue() const {
  return pending_.empty() ? Clock::time_point::max() : pending_.front().due;
}

void DeviceCore::DropPending() {
  if (pending_.empty()) return;
  std::size_t bytes = 0;
  for (const Pending& answer : pending_) bytes += answer.Left();
  pending_.clear();
  Note("line closed: " + std::to_string(bytes) + " bytes not sent", Clock::now());
}

void DeviceCore::Note(std::string text, Clock::time_point at) {
  if (sink_) sink_({LogEntry::Kind::Note, at, {}, std::move(text)});
}

}  // namespace qvx::sim
