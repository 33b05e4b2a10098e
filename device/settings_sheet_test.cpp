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

SheetFacts Facts(bool mask) {
  SheetFacts facts;
  facts.source = "файл set.qvx";
  facts.date = "09.12.2026";
  facts.version = "1.0";
  facts.mask_password = mask;
  return facts;
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
    const std::string html = SettingsSheetHtml(settings, Facts(c.mask));
    for (const std::string_view part : c.present)
      EXPECT_NE(html.find(part), std::string::npos) << c.name << ": " << part;
    for (const std::string_view part : c.absent)
      EXPECT_EQ(html.find(part), std::string::npos) << c.name << ": " << part;
    EXPECT_EQ(Occurrences(html, kChangedMark), c.marks + (c.marks > 0 ? 1 : 0)) << c.name;
  }
}

// The object's lines hold what is known, escaped, and stay blank otherwise.
TEST(SettingsSheet, FillsTheObjectAndTheInstallerWhenKnown) {
  const auto row = [](std::string_view label, std::string_view value) {
    return "<td>" + std::string(label) + "</td><td>" + std::string(value) + "</td>";
  };
  const auto blank = [](std::string_view label) {
    return "<td>" + std::string(label) + "</td><td class=\"blank\">";
  };
  const struct {
    const char* name;
    std::string object, address, installer;
    std::vector<std::string> present;
  } cases[] = {
      {"none known", "", "", "", {blank("Объект:"), blank("Адрес объекта:"), blank("Установщик:")}},
      {"all known",
       "17 Иванов И. И.",
       "ул. Ленина, 5",
       "Петров",
       {row("Объект:", "17 Иванов И. И."), row("Адрес объекта:", "ул. Ленина, 5"),
        row("Установщик:", "Петров")}},
      {"an object without an address, markup escaped",
       "3 <b>ООО \"Ромашка\"</b>",
       "",
       "Петров & сын",
       {row("Объект:", "3 &lt;b&gt;ООО &quot;Ромашка&quot;&lt;/b&gt;"), blank("Адрес объекта:"),
        row("Установщик:", "Петров &amp; сын")}},
  };
  for (const auto& c : cases) {
    SheetFacts facts = Facts(false);
    facts.object = c.object;
    facts.object_address = c.address;
    facts.installer = c.installer;
    const std::string html = SettingsSheetHtml(MemorySettings(), facts);
    for (const std::string& part : c.present)
      EXPECT_NE(html.find(part), std::string::npos) << c.name << ": " << part;
    // The signatures are always signed by hand.
    EXPECT_NE(html.find(blank("Подпись установщика:")), std::string::npos) << c.name;
    EXPECT_NE(html.find(blank("Подпись заказчика:")), std::string::npos) << c.name;
    EXPECT_EQ(html.find("<b>ООО"), std::string::npos) << c.name;
  }
}

}  // namespace
}  // namespace qvx
