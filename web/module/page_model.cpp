#include "page_model.h"

#include "config_file/file_commands.h"
#include "config_file/settings_line.h"
#include "device/device_commands.h"

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

constexpr std::string_view kOpenSavedFile = " Откройте файл .qvx, сохранённый конфигуратором.";

}  // namespace

std::string TooLargeFileNote() {
  return "Файл больше " + std::to_string(kMaxOpenBytes / 1024) +
         " КБ: файл настроек много меньше." + std::string(kOpenSavedFile);
}

std::optional<Message> PageModel::Open(std::string_view file_bytes) {
  RecordedMessages messages;
  // Far more than any settings file holds is no settings file: refused as
  // the empty one is, unread.
  const bool too_large = file_bytes.size() > kMaxOpenBytes;
  OpenSettingsBytes(settings_, too_large ? std::string_view() : file_bytes, messages);
  if (messages.shown.empty()) return std::nullopt;
  Message refusal = messages.shown.front();
  refusal.note =
      too_large ? TooLargeFileNote() : OpenRefusalReason(file_bytes) + std::string(kOpenSavedFile);
  return refusal;
}

SaveResult PageModel::Save() const {
  RecordedMessages messages;
  SaveResult result;
  result.bytes = SaveSettingsBytes(settings_, messages);
  result.messages = std::move(messages.shown);
  return result;
}

ReadResult PageModel::EvaluateRead(std::string_view received) {
  device::ReplyEvaluation reply = device::EvaluateReceiveBuffer(received);
  device::ApplyReply(settings_, reply);
  return {reply.outcome, {reply.message, reply.title}, std::move(reply.entries)};
}

}  // namespace qvx::web
