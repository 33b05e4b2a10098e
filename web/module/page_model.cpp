#include "page_model.h"

#include "config_file/file_commands.h"
#include "config_file/settings_line.h"
#include "device/device_commands.h"
#include "device/link_host.h"

namespace qvx::web {
namespace {

// Every file a save writes opens again: fifteen longest text fields and the
// code fields with their separators stay below the limit.
static_assert(15 * kMaxTextFieldBytes + 200 < kMaxOpenBytes);

class RecordedMessages : public CommandMessages {
 public:
  void Show(const std::string& text, const std::string& title) override {
    shown.push_back({text, title});
  }
  // Never asked: the save in memory replaces no file; the browser's dialog asks.
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  std::vector<Message> shown;
};

// The host and view of the write checks: what they would show, in order.
class RecordedSteps : public device::LinkHost, public device::CommandView {
 public:
  void AppendLog(const std::string&) override {}
  void ShowMessage(const std::string& text, const std::string& title,
                   device::MessageKind /*kind*/) override {
    steps.push_back({Step::Kind::Message, {}, {text, title}});
  }
  void ShowPortError(const std::string& text) override {
    ShowMessage(text, {}, device::MessageKind::Failure);
  }
  void ProcessEvents() override {}
  void Pause(int) override {}
  void MarkTextField(std::string_view field, device::FieldMark mark) override {
    steps.push_back({mark == device::FieldMark::Red ? Step::Kind::MarkRed : Step::Kind::MarkWhite,
                     std::string(field),
                     {}});
  }
  void ShowSubscriberTab() override { steps.push_back({Step::Kind::SubscriberTab, {}, {}}); }
  std::vector<Step> steps;
};

}  // namespace

std::optional<Message> PageModel::Open(std::string_view file_bytes) {
  RecordedMessages messages;
  // Far more than any settings file holds is no settings file: refused as
  // the empty one is, unread.
  OpenSettingsBytes(settings_, file_bytes.size() > kMaxOpenBytes ? std::string_view() : file_bytes,
                    messages);
  if (messages.shown.empty()) return std::nullopt;
  return messages.shown.front();
}

SaveResult PageModel::Save() const {
  RecordedMessages messages;
  SaveResult result;
  result.bytes = SaveSettingsBytes(settings_, messages);
  result.messages = std::move(messages.shown);
  return result;
}

WriteCheck PageModel::CheckWrite() {
  RecordedSteps recorded;
  WriteCheck check;
  check.frame = device::CheckedWriteFrame(settings_, recorded, recorded);
  check.steps = std::move(recorded.steps);
  return check;
}

ReadResult PageModel::EvaluateRead(std::string_view received) {
  device::ReplyEvaluation reply = device::EvaluateReceiveBuffer(received);
  device::ApplyReply(settings_, reply);
  return {reply.outcome, {reply.message, reply.title}, std::move(reply.entries)};
}

}  // namespace qvx::web
