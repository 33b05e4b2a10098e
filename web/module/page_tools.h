// The installer's tools of the page over settings files' bytes: the
// customer's sheet, a comparison of the page's settings with another side,
// and the words of the page's history. Each side arrives as the bytes of a
// .qvx file (what "Сохранить" would write), so a history entry, an opened
// file and the page itself are read alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/settings_sheet.h"
#include "page_model.h"

namespace qvx::web {

// Settings from a .qvx file's bytes, or the refusal "Открыть" would show.
struct FileSettings {
  MemorySettings settings;
  std::optional<Message> refusal;
};
FileSettings SettingsOfFile(std::string_view file_bytes);

// The sheet of `quorvex-cli report` for the settings in `file_bytes`, dated
// now; the source is "файл NAME" (said to be changed since when `edited`),
// or the page's own settings when the name is empty. The object, its
// address and the installer are taken from `known` (blank lines when empty).
// Empty when the bytes are refused.
std::string SheetOfFile(std::string_view file_bytes, const std::string& file_name,
                        bool mask_password, bool edited = false, const SheetFacts& known = {});

// One setting that differs, in the page's words.
struct ComparedRow {
  std::string tab;
  std::string caption;
  std::string page_value;
  std::string other_value;
};

struct Comparison {
  std::optional<Message> refusal;  // a side that could not be read; nothing compared
  std::string page_side;           // header of the page's column
  std::string other_side;          // header of the other side's column
  std::vector<ComparedRow> rows;   // only the settings that differ, in catalogue order
  std::string summary;             // one line: how many differ, or that none does
};

// The page's settings against another side's, named `other_side` in the header.
Comparison Compare(const MemorySettings& page, const MemorySettings& other, std::string other_side);

// How a side is named in a comparison's header.
std::string FileSide(const std::string& file_name);
std::string DeviceSide(const std::string& port);
std::string DefaultsSide();
// "Записать, /dev/ttyUSB0, 09.12.2026 23:50:12": a history entry.
std::string HistorySide(const std::string& command_word, const std::string& port, double epoch_ms);

// The bytes "Сохранить" writes for these settings; empty when it would refuse them.
std::string FileBytes(const Settings& settings);

// "09.12.2026 23:50:12", local time, for `epoch_ms` since 1970.
std::string LocalTimeText(double epoch_ms);

}  // namespace qvx::web
