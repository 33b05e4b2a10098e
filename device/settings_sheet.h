// The settings sheet an installer prints and leaves with the customer: one
// standalone HTML page (styles inside, no scripts, no outside files) for A4,
// read by browsers and by Qt's rich text alike (the CLI's PDF writer lays it out).
#pragma once

#include <string>

#include "settings/settings.h"

namespace qvx {

struct SheetFacts {
  std::string source;   // where the settings came from, in words: "файл set.qvx"
  std::string read_at;  // when a device was read, "09.12.2026 04:30"; empty for a file
  std::string date;     // the sheet's date, "09.12.2026"
  std::string version;  // the program's version
  bool mask_password = false;
  // The object the settings belong to ("17 Иванов И. И."), its address and
  // the installer's name; an empty one leaves a blank line to fill by hand.
  std::string object;
  std::string object_address;
  std::string installer;
};

// The sign beside every value that differs from the default.
inline constexpr std::string_view kChangedMark = "●";

// Every table of the sheet has these three columns, in these widths (percent).
inline constexpr int kPlaceWidth = 22;
inline constexpr int kCaptionWidth = 44;
inline constexpr int kValueWidth = 34;

// A header block (source, date, the sheet's number of changed settings, the
// object, its address and the installer, each a blank line when not known,
// and blank lines for two signatures), then one table per section: the subscriber numbers, the
// password (or a mask), the server address and port and the storage choice
// under the window's own labels, then every other setting by tab and group
// with its place, caption and option text. A value that differs from the
// default carries kChangedMark and the default beside it; a masked password
// is never marked, so the sheet does not tell whether it is the default.
// Each table's heading is a row of its header, so it repeats on a continued
// table and never stands apart from it. Texts are escaped: nothing in a
// setting can add markup.
std::string SettingsSheetHtml(const Settings& settings, const SheetFacts& facts);

}  // namespace qvx
