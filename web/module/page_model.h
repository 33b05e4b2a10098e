// What the page asks of the settings besides reading and writing them: the
// file's open and save, the checks and frame of "Записать" and the
// evaluation of "Прочитать", each done by the same core code as the window,
// returning the steps the page shows instead of showing them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/reply.h"
#include "device/write_checks.h"
#include "settings/memory_settings.h"

namespace qvx::web {

// Largest file "Открыть" takes: the longest line a save writes (fifteen
// text fields of kMaxTextFieldBytes) with room to spare, and far below what
// would exhaust the module's memory. Larger files are refused unread.
inline constexpr std::size_t kMaxOpenBytes = 64 * 1024;

struct Message {
  std::string text;
  std::string title;
  std::string note;  // the page's own line below the window's text; "" for none
};

// The page's line below "Некорректный файл" for a file of more than
// kMaxOpenBytes, which is refused unread.
std::string TooLargeFileNote();

struct SaveResult {
  std::string bytes;              // the file's bytes (line, CR LF); empty when refused
  std::vector<Message> messages;  // the refusal, or the success once the bytes are written
};

struct ReadResult {
  device::ReplyOutcome outcome = device::ReplyOutcome::NoData;
  Message message;
  std::vector<std::string> entries;  // the reply's raw entries (the console's lines)
};

class PageModel {
 public:
  MemorySettings& Settings() { return settings_; }
  const MemorySettings& Settings() const { return settings_; }

  // "Открыть" with the chosen file's bytes: nullopt when the settings were
  // taken over, else the refusal ("Некорректный файл" for more than
  // kMaxOpenBytes) with its note naming the check that failed; a refused
  // file changes no setting.
  std::optional<Message> Open(std::string_view file_bytes);

  // "Сохранить": the bytes to write, or the refusal before any dialog.
  SaveResult Save() const;

  // "Записать" up to the port: normalises and checks the text fields (their
  // texts written back), refuses a list with no entry selected, builds the
  // frame; the marks, the tab and the refusal as the window shows them.
  device::WriteChecks CheckWrite() { return device::CheckWrite(settings_); }

  // The end of the reception window: evaluates what arrived and takes the
  // settings over only when every field passed.
  ReadResult EvaluateRead(std::string_view received);

 private:
  MemorySettings settings_;
};

}  // namespace qvx::web
