// The settings sheet an installer prints and leaves with the customer: one
// standalone HTML page (styles inside, no scripts, no outside files) for A4.
#pragma once

#include <string>

#include "settings/settings.h"

namespace qvx::cli {

struct SheetFacts {
  std::string source;   // where the settings came from, in words
  std::string when;     // when they were taken, "09.12.2026 04:30"
  std::string version;  // the program's version
  bool mask_password = false;
};

// Every setting grouped by tab and group, with place, caption and option
// text; then the subscriber numbers, the password (or a mask), the server
// address and port. Texts are escaped: nothing in a setting can add markup.
std::string SettingsSheetHtml(const Settings& settings, const SheetFacts& facts);

}  // namespace qvx::cli
