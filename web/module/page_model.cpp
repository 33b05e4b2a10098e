#include "page_model.h"

#include <fstream>
#include <iterator>

#include "config_file/file_commands.h"
#include "config_file/settings_line.h"
#include "device/device_commands.h"
#include "device/link_host.h"

namespace qvx::web {
namespace {

// Every file a save writes opens again: fifteen longest text fields and the
// code fields with their separators stay below the limit.
static_assert(15 * kMaxTextFieldBytes + 200 < kMaxOpenBytes);

// The module's own file system (in memory) holds the file while the core's
// commands read or write it by name, as they do on disk.
constexpr const char* kOpenPath = "/open.qvx";
constexpr const char* kSavePath = "/save.qvx";

class RecordedMessages : public CommandMessages {
 public:
  void Show(const std::string& text, const std::string& title) override {
    shown.push_back({text, title});
  }
  // The page saves to the name chosen in its own dialog, never over another.
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

std::string ReadWholeFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::optional<Message> PageModel::Open(std::string_view file_bytes) {
  if (file_bytes.size() > kMaxOpenBytes) return Message{"Некорректный файл", "Ошибка"};
  {
    std::ofstream out(kOpenPath, std::ios::binary | std::ios::trunc);
    out.write(file_bytes.data(), static_cast<std::streamsize>(file_bytes.size()));
  }
  RecordedMessages messages;
  OpenSettingsCommand(settings_, std::string(kOpenPath), messages);
  std::remove(kOpenPath);
  if (messages.shown.empty()) return std::nullopt;
  return messages.shown.front();
}

SaveResult PageModel::Save() const {
  std::remove(kSavePath);
  RecordedMessages messages;
  const CommandOutcome outcome = SaveSettingsCommand(
      settings_, [] { return std::optional<std::string>(kSavePath); }, messages);
  SaveResult result;
  if (outcome == CommandOutcome::Done) result.bytes = ReadWholeFile(kSavePath);
  std::remove(kSavePath);
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
