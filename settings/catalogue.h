// The settings catalogue: every device setting, the control that edits it,
// its option list, its default, in catalogue order. Data only; written once
// and read by the window, the codecs, the CLI and the tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qvx {

enum class SettingKind { List, Slider, Radio, Text };

// Where a setting stands on its tab; page_layout.h turns these into rows.
enum class Placement {
  OwnRow,       // a row of its own: caption, then the control
  PreviousRow,  // beside the setting before it, behind that setting's caption
  OwnBox,       // a framed box of its own, titled by its caption, the hint on the box
};

struct RadioButtonInfo {
  std::string_view control;  // "RadioButton131311"
  std::string_view caption;
};

struct SettingInfo {
  // Control name; a radio group is named "Set13.1", "Set13.2", "Set13.4", "Set14.1".
  std::string_view name;
  SettingKind kind = SettingKind::List;
  std::string_view tab;  // caption of the tab page that shows it
  int group = 0;         // 1..14 for Set01..Set14; 0 for the text fields
  int item = 0;          // 1-based item in its group (the zone for Set01..Set04)
  // Caption beside the control ("\n" separates two lines). For the zone table
  // it is the row label; the column heading is in ZoneColumns().
  std::string_view caption;
  std::string_view hint;                  // tool tip, empty when none
  std::vector<std::string_view> options;  // List: option texts in index order
  int minimum = 0;                        // Slider: range
  int maximum = 0;
  std::vector<RadioButtonInfo> buttons;  // Radio: buttons in number order
  int default_value = 0;                 // List index, slider position, radio number
  std::string_view default_text;         // Text: initial text
  bool device_counts_from_one = false;   // List: device numbers it index + 1
  std::string_view value_label;          // Slider: label showing its position
  std::string_view min_label;            // Slider: label under its left end, showing its minimum
  std::string_view max_label;            // Slider: label under its right end, showing its maximum
  Placement placement = Placement::OwnRow;
  std::string_view heading;  // a caption across the box above its row; empty when none
  int column = 0;            // 0 left, 1 right: the columns of a text-field page
};

// The two temperature thresholds, coupled: the high one never sits below the
// low one (see TrackBar2Change).
inline constexpr std::string_view kHighThresholdSlider = "TrackBar2";
inline constexpr std::string_view kLowThresholdSlider = "TrackBar1";

// All settings in catalogue order: Set01..Set14 by item, then Edit16..Edit30.
const std::vector<SettingInfo>& Catalogue();

// The setting of that name, or nullptr.
const SettingInfo* FindSetting(std::string_view name);

// "Set05" for 5.
std::string GroupName(int group);

// How captions refer to a setting: "Set05 пункт 3".
std::string SettingReference(const SettingInfo& setting);

// Refusal of a write or save while a list has no entry selected:
// "Не выбрано значение параметра Set05 пункт 3".
std::string UnselectedListMessage(const SettingInfo& list);

// The text fields Edit16..Edit30 in field order.
const std::vector<const SettingInfo*>& TextFieldSettings();

// Field name used in messages about a text field: its caption without the
// colon and trailing blank ("Abon01", "Пароль/номер прибора", "IP", "Порт").
std::string TextFieldName(const SettingInfo& setting);

// What kind of page a tab is; page_layout.h gives each kind's rows.
enum class PageKind {
  Greeting,    // no settings
  ZoneTable,   // a table: one row per zone, one column per zone group
  GroupBoxes,  // one framed box per group ("Set05"), top to bottom
  TextFields,  // one framed box holding the text fields in two columns
};

struct TabInfo {
  std::string_view caption;
  PageKind kind;
  std::string_view box_title;  // TextFields: the title of the box around the page
};

// The eleven tabs in order; the first is the greeting page.
const std::vector<TabInfo>& Tabs();

// Their captions, in the same order.
const std::vector<std::string_view>& TabCaptions();

// Column of the zone table, in the order shown from left to right.
struct ZoneColumn {
  int group;                 // 2, 1, 3, 4
  std::string_view heading;  // "Режим работы шлейфов", ...
  std::string_view label;    // the group's name above the heading: "Set02", ...
};
const std::vector<ZoneColumn>& ZoneColumns();

// Zone-table control for a zone (1..6) and a group (1..4): "ComboBox" + zone + group.
std::string ZoneControlName(int zone, int group);

}  // namespace qvx
