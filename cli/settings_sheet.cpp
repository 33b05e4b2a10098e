#include "cli/settings_sheet.h"

#include "cli/setting_text.h"
#include "device/text_fields.h"

namespace qvx::cli {
namespace {

// Styles for both readers: browsers and print take the CSS, Qt's rich text
// takes the table attributes.
constexpr std::string_view kHead =
    "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<title>Лист настроек Quorvex</title>\n<style>\n"
    "@page { size: A4; margin: 15mm; }\n"
    "body { font-family: 'DejaVu Sans', 'Liberation Sans', Arial, sans-serif;"
    " font-size: 9pt; color: #000; background: #fff; }\n"
    "h1 { font-size: 15pt; margin: 0 0 6pt 0; }\n"
    "h2 { font-size: 11pt; margin: 10pt 0 3pt 0; page-break-after: avoid; }\n"
    "table { border-collapse: collapse; width: 100%; }\n"
    "td, th { border: 1px solid #888; padding: 1pt 4pt; text-align: left; vertical-align: top; }\n"
    "th { background: #e8e8e8; }\n"
    "tr { page-break-inside: avoid; }\n"
    "td.group { background: #f3f3f3; font-weight: bold; }\n"
    "td.place { white-space: nowrap; width: 18%; }\n"
    "td.value { width: 30%; }\n"
    "</style>\n</head>\n<body>\n";

constexpr std::string_view kTable =
    "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">\n";

std::string Html(const std::string& text) {
  std::string escaped;
  for (const char c : EscapeControlBytes(text)) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

void Row(std::string& html, const std::string& place, const std::string& caption,
         const std::string& value) {
  html += "<tr><td class=\"place\">" + Html(place) + "</td><td>" + Html(caption) +
          "</td><td class=\"value\">" + Html(value) + "</td></tr>\n";
}

void SettingsOfTab(std::string& html, const Settings& settings, std::string_view tab) {
  int group = -1;
  for (const SettingInfo& setting : Catalogue()) {
    if (setting.tab != tab || setting.kind == SettingKind::Text) continue;
    if (setting.group != group) {
      group = setting.group;
      html +=
          "<tr><td class=\"group\" colspan=\"3\">Группа " + Html(GroupName(group)) + "</td></tr>\n";
    }
    Row(html, SettingReference(setting), SettingCaption(setting), OptionText(settings, setting));
  }
}

void TextFields(std::string& html, const Settings& settings, bool mask_password) {
  using namespace device;
  const auto text = [&](int field) { return settings.Text(TextFieldControl(field)); };
  const auto name = [&](int field) { return TextFieldName(*FindSetting(TextFieldControl(field))); };
  for (int field = 0; field < kPhoneFields; ++field)
    Row(html, TextFieldControl(field), name(field), text(field));
  Row(html, TextFieldControl(kPasswordField), name(kPasswordField),
      mask_password ? "••••••" : text(kPasswordField));
  std::string address;
  for (int field = kFirstAddressField; field < kPortField; ++field)
    address += (address.empty() ? "" : ".") + text(field);
  Row(html, TextFieldControl(kFirstAddressField) + "–" + TextFieldControl(kPortField - 1),
      "Адрес сервера (IP)", address);
  Row(html, TextFieldControl(kPortField), name(kPortField), text(kPortField));
}

}  // namespace

std::string SettingsSheetHtml(const Settings& settings, const SheetFacts& facts) {
  std::string html(kHead);
  html += "<h1>Лист настроек Quorvex</h1>\n<p>Источник: " + Html(facts.source) +
          "<br>\nДата: " + Html(facts.when) + "<br>\nПрограмма: quorvex-cli " +
          Html(facts.version) + "</p>\n";

  html += "<h2>Абоненты, пароль, адрес и порт</h2>\n";
  html += kTable;
  html += "<tr><th>Поле</th><th>Параметр</th><th>Значение</th></tr>\n";
  TextFields(html, settings, facts.mask_password);
  html += "</table>\n";

  const auto& tabs = TabCaptions();
  for (std::size_t i = 1; i < tabs.size(); ++i) {  // the first tab is the greeting
    std::string rows;
    SettingsOfTab(rows, settings, tabs[i]);
    if (rows.empty()) continue;
    html += "<h2>Вкладка «" + Html(std::string(tabs[i])) + "»</h2>\n";
    html += kTable;
    html += "<tr><th>Место</th><th>Параметр</th><th>Значение</th></tr>\n";
    html += rows + "</table>\n";
  }
  html += "</body>\n</html>\n";
  return html;
}

}  // namespace qvx::cli
