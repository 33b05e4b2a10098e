// How each tab lays out its settings, as data for every renderer: the window
// and the browser page read the same rows. Toolkit-free and without pixels:
// what kind of page a tab is, which framed boxes it holds, which settings
// share a row, in which column, and with which captions. Built from the
// catalogue's placements (catalogue.h), so a setting is placed once.
#pragma once

#include <string_view>
#include <vector>

#include "settings/catalogue.h"

namespace qvx {

enum class RowKind {
  Heading,  // caption across the box; no setting
  // Caption, then the controls of the settings side by side. A slider's row
  // is its caption and value label, the slider below, and the labels under
  // its ends where it has them (SettingInfo::min_label, max_label).
  Field,
  Box,  // one setting in a framed box of its own, titled caption, hint on the box
};

struct LayoutRow {
  RowKind kind = RowKind::Field;
  std::string_view caption;
  std::string_view hint;
  int column = 0;                          // 0 left, 1 right (TextFields pages)
  std::vector<std::string_view> settings;  // setting names, left to right (FindSetting)
};

struct LayoutBox {
  std::string_view title;       // caption of the framed box; empty: no frame
  std::vector<LayoutRow> rows;  // top to bottom, within their column
};

struct TabLayout {
  PageKind kind = PageKind::Greeting;
  std::string_view caption;
  // ZoneTable: the column heads left to right; row i's settings[c] stands
  // under columns[c].
  std::vector<ZoneColumn> columns;
  std::vector<LayoutBox> boxes;  // top to bottom
};

// The eleven tabs in order; entry i is the tab captioned TabCaptions()[i].
// Every setting of the catalogue stands in exactly one row; the rows of a
// page are in keyboard order (the text fields before the storage choice).
const std::vector<TabLayout>& TabLayouts();

}  // namespace qvx
