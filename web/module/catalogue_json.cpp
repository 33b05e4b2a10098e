#include "catalogue_json.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "settings/catalogue.h"
#include "settings/page_layout.h"

namespace qvx::web {
namespace {

// Appends JSON to one string; the caller places the commas.
class Json {
 public:
  void Text(std::string_view text) {
    out_ += '"';
    for (const char c : text) {
      if (c == '"' || c == '\\') {
        out_ += '\\';
        out_ += c;
      } else if (static_cast<unsigned char>(c) < 0x20) {
        char escaped[7];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
        out_ += escaped;
      } else {
        out_ += c;
      }
    }
    out_ += '"';
  }
  void Number(int value) { out_ += std::to_string(value); }
  void Bool(bool value) { out_ += value ? "true" : "false"; }
  void Key(std::string_view key) {
    Text(key);
    out_ += ':';
  }
  void Raw(std::string_view raw) { out_ += raw; }

  // [item, item, ...] with `write(item)` for each.
  template <typename Items, typename Write>
  void Array(const Items& items, Write write) {
    out_ += '[';
    bool first = true;
    for (const auto& item : items) {
      if (!first) out_ += ',';
      first = false;
      write(item);
    }
    out_ += ']';
  }

  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

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

void Setting(Json& json, const SettingInfo& setting) {
  const auto text = [&](std::string_view key, std::string_view value, bool last = false) {
    json.Key(key);
    json.Text(value);
    if (!last) json.Raw(",");
  };
  const auto number = [&](std::string_view key, int value) {
    json.Key(key);
    json.Number(value);
    json.Raw(",");
  };
  json.Raw("{");
  text("name", setting.name);
  text("kind", KindName(setting.kind));
  text("tab", setting.tab);
  number("group", setting.group);
  number("item", setting.item);
  text("caption", setting.caption);
  text("hint", setting.hint);
  json.Key("options");
  json.Array(setting.options, [&](std::string_view option) { json.Text(option); });
  json.Raw(",");
  number("minimum", setting.minimum);
  number("maximum", setting.maximum);
  json.Key("buttons");
  json.Array(setting.buttons, [&](const RadioButtonInfo& button) {
    json.Raw("{");
    text("control", button.control);
    text("caption", button.caption, true);
    json.Raw("}");
  });
  json.Raw(",");
  number("defaultValue", setting.default_value);
  text("defaultText", setting.default_text);
  json.Key("deviceCountsFromOne");
  json.Bool(setting.device_counts_from_one);
  json.Raw(",");
  text("valueLabel", setting.value_label);
  text("minLabel", setting.min_label);
  text("maxLabel", setting.max_label, true);
  json.Raw("}");
}

void Row(Json& json, const LayoutRow& row) {
  json.Raw("{\"kind\":");
  json.Text(RowKindName(row.kind));
  json.Raw(",\"caption\":");
  json.Text(row.caption);
  json.Raw(",\"hint\":");
  json.Text(row.hint);
  json.Raw(",\"column\":");
  json.Number(row.column);
  json.Raw(",\"settings\":");
  json.Array(row.settings, [&](std::string_view name) { json.Text(name); });
  json.Raw("}");
}

void Tab(Json& json, const TabLayout& tab) {
  json.Raw("{\"kind\":");
  json.Text(PageKindName(tab.kind));
  json.Raw(",\"caption\":");
  json.Text(tab.caption);
  json.Raw(",\"columns\":");
  json.Array(tab.columns, [&](const ZoneColumn& column) {
    json.Raw("{\"group\":");
    json.Number(column.group);
    json.Raw(",\"heading\":");
    json.Text(column.heading);
    json.Raw(",\"label\":");
    json.Text(column.label);
    json.Raw("}");
  });
  json.Raw(",\"boxes\":");
  json.Array(tab.boxes, [&](const LayoutBox& box) {
    json.Raw("{\"title\":");
    json.Text(box.title);
    json.Raw(",\"rows\":");
    json.Array(box.rows, [&](const LayoutRow& row) { Row(json, row); });
    json.Raw("}");
  });
  json.Raw("}");
}

}  // namespace

std::string CatalogueJson() {
  Json json;
  json.Raw("{\"settings\":");
  json.Array(Catalogue(), [&](const SettingInfo& setting) { Setting(json, setting); });
  json.Raw(",\"tabs\":");
  json.Array(TabLayouts(), [&](const TabLayout& tab) { Tab(json, tab); });
  json.Raw("}");
  return json.Take();
}

}  // namespace qvx::web
