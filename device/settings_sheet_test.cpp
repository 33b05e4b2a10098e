#include "device/settings_sheet.h"

#include <gtest/gtest.h>

#include "settings/memory_settings.h"

namespace qvx {
namespace {

std::size_t Occurrences(const std::string& text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

// What a sheet tells about the password, the changes and the texts it shows.
TEST(SettingsSheet, MasksEscapesAndCountsChanges) {
  const struct {
    const char* name;
    const char* phone;     // Edit16; nullptr keeps its default
    const char* password;  // Edit25
    bool mask;
    std::vector<std::string_view> present;
    std::vector<std::string_view> absent;
    std::size_t marks;  // changed values marked (one more in the header when any)
  } cases[] = {
      {"defaults", nullptr, "7391", false, {"все настройки — по умолчанию", "7391"}, {}, 0},
      {"a changed password",
       nullptr,
       "9264",
       false,
       {"1 настройка отличается", "9264", "по умолчанию: 7391"},
       {},
       1},
      {"a masked default password", nullptr, "7391", true, {"••••••"}, {"7391"}, 0},
      // A masked password that differs is not marked either: the mark would tell.
      {"a masked changed password", nullptr, "9264", true, {"••••••"}, {"9264", "7391"}, 0},
      {"markup in a text", "<b>&\"", "7391", false, {"&lt;b&gt;&amp;&quot;"}, {"<b>&\""}, 1},
      {"a control byte in a text", "\x1b[2J", "7391", false, {"\\x1B[2J"}, {"\x1b"}, 1},
  };
  for (const auto& c : cases) {
    MemorySettings settings;
    if (c.phone) settings.SetText("Edit16", c.phone);
    settings.SetText("Edit25", c.password);
    const std::string html =
        SettingsSheetHtml(settings, {"файл set.qvx", "", "09.12.2026", "1.0", c.mask});
    for (const std::string_view part : c.present)
      EXPECT_NE(html.find(part), std::string::npos) << c.name << ": " << part;
    for (const std::string_view part : c.absent)
      EXPECT_EQ(html.find(part), std::string::npos) << c.name << ": " << part;
    EXPECT_EQ(Occurrences(html, kChangedMark), c.marks + (c.marks > 0 ? 1 : 0)) << c.name;
  }
}

}  // namespace
}  // namespace qvx
