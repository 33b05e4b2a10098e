// The catalogue for JavaScript: the settings in catalogue order and the
// eleven tabs with the rows that lay them out, built as one JSON text that
// the page parses once: one crossing instead of one per field.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "settings/catalogue.h"
#include "settings/page_layout.h"

namespace qvx::web {
namespace {

using nlohmann::json;

const char* KindName(SettingKind kind) {
  switch (kind) {
    case SettingKind::List:
      return "list";
    case SettingKind::Slider:
      return "slider";
    case SettingKind::Radio:
      return "radio";
    case SettingKind::Text:
      return "text";
  }
  return "";
}

const char* PageKindName(PageKind kind) {
  switch (kind) {
    case PageKind::Greeting:
      return "greeting";
    case PageKind::ZoneTable:
      return "zoneTable";
    case PageKind::GroupBoxes:
      return "groupBoxes";
    case PageKind::TextFields:
      return "textFields";
  }
  return "";
}

const char* RowKindName(RowKind kind) {
  switch (kind) {
    case RowKind::Heading:
      return "heading";
    case RowKind::Field:
      return "field";
    case RowKind::Box:
      return "box";
  }
  return "";
}

template <typename Items, typename Convert>
json ArrayOf(const Items& items, Convert convert) {
  json array = json::array();
  for (const auto& item : items) array.push_back(convert(item));
  return array;
}

json Names(const std::vector<std::string_view>& names) {
  return ArrayOf(names, [](std::string_view name) { return json(name); });
}

json SettingJson(const SettingInfo& setting) {
  return {
      {"name", setting.name},
      {"kind", KindName(setting.kind)},
      {"tab", setting.tab},
      {"group", setting.group},
      {"item", setting.item},
      {"caption", setting.caption},
      {"hint", setting.hint},
      {"options", Names(setting.options)},
      {"minimum", setting.minimum},
      {"maximum", setting.maximum},
      {"buttons", ArrayOf(setting.buttons,
                          [](const RadioButtonInfo& button) {
                            return json{{"control", button.control}, {"caption", button.caption}};
                          })},
      {"defaultValue", setting.default_value},
      {"defaultText", setting.default_text},
      {"deviceCountsFromOne", setting.device_counts_from_one},
      {"valueLabel", setting.value_label},
      {"minLabel", setting.min_label},
      {"maxLabel", setting.max_label},
  };
}

json RowJson(const LayoutRow& row) {
  return {
      {"kind", RowKindName(row.kind)}, {"caption", row.caption},          {"hint", row.hint},
      {"column", row.column},          {"settings", Names(row.settings)},
  };
}

json TabJson(const TabLayout& tab) {
  return {
      {"kind", PageKindName(tab.kind)},
      {"caption", tab.caption},
      {"columns", ArrayOf(tab.columns,
                          [](const ZoneColumn& column) {
                            return json{{"group", column.group},
                                        {"heading", column.heading},
                                        {"label", column.label}};
                          })},
      {"boxes", ArrayOf(tab.boxes,
                        [](const LayoutBox& box) {
                          return json{{"title", box.title}, {"rows", ArrayOf(box.rows, RowJson)}};
                        })},
  };
}

// {settings: [...], tabs: [...]}: every setting in catalogue order (name,
// kind "list"/"slider"/"radio"/"text", tab, group, item, caption, hint,
// options, minimum, maximum, buttons [{control, caption}], defaultValue,
// defaultText, deviceCountsFromOne, valueLabel, minLabel, maxLabel) and the
// eleven tabs (kind "greeting"/"zoneTable"/"groupBoxes"/"textFields",
// caption, columns [{group, heading, label}], boxes [{title, rows [{kind
// "heading"/"field"/"box", caption, hint, column, settings}]}]).
emscripten::val CatalogueObject() {
  const json catalogue{{"settings", ArrayOf(Catalogue(), SettingJson)},
                       {"tabs", ArrayOf(TabLayouts(), TabJson)}};
  return emscripten::val::global("JSON").call<emscripten::val>("parse", catalogue.dump());
}

}  // namespace
}  // namespace qvx::web

EMSCRIPTEN_BINDINGS(quorvex_catalogue) {
  emscripten::function("catalogue", &qvx::web::CatalogueObject);
}
