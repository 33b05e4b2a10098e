// The settings catalogue: every device setting, the control that edits it,
// its option list, its default, in catalogue order. Data only; written once
// and read by the window, the codecs, the CLI and the tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qvx {

enum class SettingKind { List, Slider, Radio, Text };

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

// The eleven tab captions in order; the first is the greeting page.
const std::vector<std::string_view>& TabCaptions();

// Column of the zone table, in the order shown from left to right.
struct ZoneColumn {
  int group;                 // 2, 1, 3, 4
  std::string_view heading;  // "Режим работы шлейфов", ...
};
const std::vector<ZoneColumn>& ZoneColumns();

// Zone-table control for a zone (1..6) and a group (1..4): "ComboBox" + zone + group.
std::string ZoneControlName(int zone, int group);

// Fixed texts of the window that belong to the settings tabs.
struct LayoutTexts {
  std::string_view set12_heading;          // above Set12 items 1..3
  std::string_view subscribers_box;        // the box holding the whole last tab
  std::string_view high_slider_min_label;  // "Label39", shows TrackBar2's minimum
  std::string_view high_slider_max_label;  // "Label40", fixed "99"
  std::string_view low_slider_min_label;   // "Label41", fixed "-50"
  std::string_view low_slider_max_label;   // "Label42", fixed "99"
};
const LayoutTexts& Layout();

// Box caption and hint of a Set13/Set14 item (framed one box per item): the
// item's own caption and hint.
struct ItemBox {
  int group;
  int item;
  std::string_view caption;
  std::string_view hint;
};
const std::vector<ItemBox>& ItemBoxes();

}  // namespace qvx
