#include "device/settings_sheet.h"

#include <utility>
#include <vector>

#include "device/text_fields.h"
#include "settings/memory_settings.h"
#include "settings/russian_numbers.h"
#include "settings/setting_text.h"

namespace qvx {
namespace {

// Styles for both readers: browsers and print take the CSS, Qt's rich text
// takes the table attributes and the simple rules. Lengths are in px, which
// the PDF lays out at 96 per inch as a browser does.
constexpr std::string_view kHead =
    "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<title>Лист настроек Quorvex</title>\n<style>\n"
    "@page { size: A4; margin: 15mm; }\n"
    "body { font-family: 'DejaVu Sans', 'Liberation Sans', Arial, sans-serif;"
    " font-size: 9pt; color: #000; background: #fff; }\n"
    "h1 { font-size: 15pt; margin: 0 0 6px 0; }\n"
    "table { border-collapse: collapse; width: 100%; margin: 0 0 10px 0; }\n"
    "table.sheet { table-layout: fixed; }\n"
    "thead { display: table-header-group; }\n"
    "td, th { border: 1px solid #888; padding: 3px 6px; text-align: left; vertical-align: top; }\n"
    "th { background: #e8e8e8; }\n"
    "th.heading { background: #fff; border-left: none; border-right: none; border-top: none;"
    " font-size: 11pt; padding: 8px 0 4px 0; }\n"
    "tr { page-break-inside: avoid; break-inside: avoid; }\n"
    "td.group { background: #f3f3f3; font-weight: bold; }\n"
    "td.changed { background: #fff3c4; font-weight: bold; }\n"
    "span.default { font-weight: normal; color: #555; font-size: 8pt; }\n"
    "table.facts td { border: none; padding: 2px 6px 2px 0; }\n"
    "td.blank { color: #888; }\n"
    "</style>\n</head>\n<body>\n";

constexpr std::string_view kBlankLine = "________________________________________";

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

struct SheetRow {
  std::string place;
  std::string caption;
  std::string value;
  bool changed = false;
  std::string default_value;  // shown beside a changed value
};

struct Section {
  std::string heading;
  std::vector<std::pair<std::string, std::vector<SheetRow>>> groups;  // "" for no group row
};

std::string Shown(const std::string& text) {
  return text.empty() ? "(пусто)" : text;
}

SheetRow SettingRow(const Settings& settings, const Settings& defaults,
                    const SettingInfo& setting) {
  return {SettingReference(setting), SettingCaption(setting), OptionText(settings, setting),
          !SameValue(settings, defaults, setting), OptionText(defaults, setting)};
}

// The fields of the last tab under the labels the window shows beside them.
std::vector<SheetRow> TextFieldRows(const Settings& settings, const Settings& defaults,
                                    bool mask_password) {
  using namespace device;
  const auto row = [&](int field, std::string caption) {
    const SettingInfo& setting = *FindSetting(TextFieldControl(field));
    const std::string value = settings.Text(setting.name);
    const std::string original = defaults.Text(setting.name);
    return SheetRow{TextFieldName(setting), std::move(caption), Shown(value), value != original,
                    original};
  };
  std::vector<SheetRow> rows;
  for (int field = 0; field < kPhoneFields; ++field)
    rows.push_back(row(field, "Телефон абонента " + std::to_string(field + 1)));
  SheetRow password = row(kPasswordField, "Пароль прибора");
  if (mask_password) password = {password.place, password.caption, "••••••", false, ""};
  rows.push_back(password);

  std::string address;
  std::string default_address;
  for (int field = kFirstAddressField; field < kFirstAddressField + kAddressFields; ++field) {
    const std::string control = TextFieldControl(field);
    address += (address.empty() ? "" : ".") + settings.Text(control);
    default_address += (default_address.empty() ? "" : ".") + defaults.Text(control);
  }
  rows.push_back({TextFieldName(*FindSetting(TextFieldControl(kFirstAddressField))),
                  "Адрес сервера", address, address != default_address, default_address});
  rows.push_back(row(kPortField, "Порт сервера"));
  return rows;
}

// The settings of one tab, by group; text fields are the first section's.
Section TabSection(const Settings& settings, const Settings& defaults, std::string_view tab,
                   std::string heading) {
  Section section{std::move(heading), {}};
  int group = -1;
  for (const SettingInfo& setting : Catalogue()) {
    if (setting.tab != tab || setting.kind == SettingKind::Text) continue;
    if (setting.group != group) {
      group = setting.group;
      section.groups.push_back({"Группа " + GroupName(group), {}});
    }
    section.groups.back().second.push_back(SettingRow(settings, defaults, setting));
  }
  return section;
}

void AppendValue(std::string& html, const SheetRow& row) {
  if (!row.changed) {
    html += "<td>" + Html(row.value) + "</td>";
    return;
  }
  html += "<td class=\"changed\">" + std::string(kChangedMark) + " " + Html(row.value) +
          "<br><span class=\"default\">по умолчанию: " + Html(Shown(row.default_value)) +
          "</span></td>";
}

void AppendSection(std::string& html, const Section& section) {
  const auto width = [](int percent) { return std::to_string(percent) + "%"; };
  html +=
      "<table class=\"sheet\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
      "width=\"100%\">\n<colgroup><col style=\"width:" +
      width(kPlaceWidth) + "\"><col style=\"width:" + width(kCaptionWidth) +
      "\"><col style=\"width:" + width(kValueWidth) + "\"></colgroup>\n<thead>\n";
  html += "<tr><th class=\"heading\" colspan=\"3\">" + Html(section.heading) + "</th></tr>\n";
  html += "<tr><th width=\"" + width(kPlaceWidth) + "\">Место</th><th width=\"" +
          width(kCaptionWidth) + "\">Параметр</th><th width=\"" + width(kValueWidth) +
          "\">Значение</th></tr>\n</thead>\n<tbody>\n";
  for (const auto& [group, rows] : section.groups) {
    if (!group.empty())
      html += "<tr><td class=\"group\" colspan=\"3\">" + Html(group) + "</td></tr>\n";
    for (const SheetRow& row : rows) {
      html += "<tr><td>" + Html(row.place) + "</td><td>" + Html(row.caption) + "</td>";
      AppendValue(html, row);
      html += "</tr>\n";
    }
  }
  html += "</tbody>\n</table>\n";
}

int ChangedRows(const std::vector<Section>& sections) {
  int changed = 0;
  for (const Section& section : sections)
    for (const auto& group : section.groups)
      for (const SheetRow& row : group.second) changed += row.changed ? 1 : 0;
  return changed;
}

void AppendFacts(std::string& html, const SheetFacts& facts, int changed) {
  const auto fact = [&](std::string_view label, const std::string& value, bool blank = false) {
    html += "<tr><td>" + std::string(label) + "</td><td" + (blank ? " class=\"blank\"" : "") + ">" +
            value + "</td></tr>\n";
  };
  html += "<table class=\"facts\" border=\"0\" cellspacing=\"0\" cellpadding=\"2\">\n";
  std::string source = Html(facts.source);
  if (!facts.read_at.empty()) source += ", прочитано " + Html(facts.read_at);
  fact("Источник:", source);
  fact("Дата:", Html(facts.date));
  fact("Изменено:", changed == 0 ? std::string("все настройки — по умолчанию")
                                 : "<b>" +
                                       CountOf(changed, "настройка отличается",
                                               "настройки отличаются", "настроек отличаются") +
                                       " от значений по умолчанию</b> (отмечены " +
                                       std::string(kChangedMark) + ")");
  const std::pair<std::string_view, const std::string*> known[] = {
      {"Объект:", &facts.object},
      {"Адрес объекта:", &facts.object_address},
      {"Установщик:", &facts.installer},
  };
  for (const auto& [label, value] : known) {
    if (value->empty())
      fact(label, std::string(kBlankLine), true);
    else
      fact(label, Html(*value));
  }
  for (const std::string_view label : {"Подпись установщика:", "Подпись заказчика:"})
    fact(label, std::string(kBlankLine), true);
  html += "</table>\n";
}

}  // namespace

std::string SettingsSheetHtml(const Settings& settings, const SheetFacts& facts) {
  const MemorySettings defaults;
  const auto& tabs = TabCaptions();
  const std::string_view last_tab = tabs.back();  // the subscribers' tab opens the sheet

  std::vector<Section> sections;
  Section first =
      TabSection(settings, defaults, last_tab,
                 "Абоненты, пароль, адрес и порт (вкладка «" + std::string(last_tab) + "»)");
  first.groups.insert(first.groups.begin(),
                      {"", TextFieldRows(settings, defaults, facts.mask_password)});
  sections.push_back(std::move(first));
  for (std::size_t i = 1; i + 1 < tabs.size(); ++i) {  // the first tab is the greeting
    Section section =
        TabSection(settings, defaults, tabs[i], "Вкладка «" + std::string(tabs[i]) + "»");
    if (!section.groups.empty()) sections.push_back(std::move(section));
  }

  std::string html(kHead);
  html += "<h1>Лист настроек Quorvex</h1>\n";
  AppendFacts(html, facts, ChangedRows(sections));
  for (const Section& section : sections) AppendSection(html, section);
  html += "<p class=\"program\">quorvex-cli " + Html(facts.version) + "</p>\n";
  html += "</body>\n</html>\n";
  return html;
}

}  // namespace qvx
