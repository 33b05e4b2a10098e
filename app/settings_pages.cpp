#include "app/settings_pages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/control_settings.h"
#include "app/qt_text.h"
#include "settings/page_layout.h"
#include "settings/settings.h"

namespace qvx {

namespace {

constexpr int kSliderPageStep = 5;
constexpr int kAddressPartWidth = 40;
constexpr int kPhoneFieldWidth = 130;
constexpr int kColumnGap = 40;

const SettingInfo& Setting(std::string_view name) {
  return *FindSetting(name);
}

// Every widget is made inside its final parent: one made outside and added
// later gets the window's font as a change, and a list then builds its popup.
QLabel* Caption(QWidget* parent, std::string_view text, std::string_view hint = {}) {
  auto* label = new QLabel(Q(text), parent);
  if (!hint.empty()) label->setToolTip(Q(hint));
  return label;
}

QLabel* NamedLabel(QWidget* parent, std::string_view name, const QString& text,
                   ControlSettings& controls) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(Q(name));
  controls.Add(name, label);
  return label;
}

QComboBox* MakeList(QWidget* parent, std::string_view name, ControlSettings& controls) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(Q(name));
  combo->setEditable(false);  // choose an option, never type one
  // The default policy fits the list to its options when it is first shown,
  // and they never change after FormCreate. AdjustToContents would build
  // every list's popup at once, long before anyone opens one.
  controls.Add(name, combo);
  return combo;
}

QSlider* MakeSlider(QWidget* parent, const SettingInfo& setting, ControlSettings& controls) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(Q(setting.name));
  slider->setRange(setting.minimum, setting.maximum);
  slider->setValue(setting.default_value);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  slider->setSingleStep(1);
  slider->setPageStep(kSliderPageStep);
  controls.Add(setting.name, slider);
  return slider;
}

QLineEdit* MakeEdit(QWidget* parent, const SettingInfo& setting, ControlSettings& controls) {
  auto* edit = new QLineEdit(Q(setting.default_text), parent);
  edit->setObjectName(Q(setting.name));
  controls.Add(setting.name, edit);
  return edit;
}

// Layouts inside the framed boxes are kept tight so the fullest pages fit.
template <typename Layout>
Layout* Compact(Layout* layout, int margin = 6, int spacing = 3) {
  layout->setContentsMargins(margin, margin / 2, margin, margin / 2);
  layout->setSpacing(spacing);
  return layout;
}

// Radio buttons of one group inside box, the default one checked.
void AddRadioButtons(const SettingInfo& setting, QGroupBox* box, ControlSettings& controls) {
  auto* column = Compact(new QVBoxLayout(box), 6, 0);
  for (std::size_t i = 0; i < setting.buttons.size(); ++i) {
    auto* button = new QRadioButton(Q(setting.buttons[i].caption), box);
    button->setObjectName(Q(setting.buttons[i].control));
    button->setChecked(static_cast<int>(i) == RadioButtonFor(setting, setting.default_value));
    controls.AddRadioButton(setting.name, button);
    column->addWidget(button);
  }
}

// A row of kind Box: the setting in a framed box of its own.
QGroupBox* MakeItemBox(QWidget* parent, const LayoutRow& row, ControlSettings& controls) {
  const SettingInfo& setting = Setting(row.settings.front());
  auto* box = new QGroupBox(Q(row.caption), parent);
  if (!row.hint.empty()) box->setToolTip(Q(row.hint));
  if (setting.kind == SettingKind::Radio) {
    AddRadioButtons(setting, box, controls);
  } else {
    auto* inside = Compact(new QHBoxLayout(box));
    inside->addWidget(MakeList(box, setting.name, controls));
    inside->addStretch();
  }
  return box;
}

// The rows of one group's box: captions in the first column, controls in
// the second, sliders and item boxes across the whole width.
struct GroupRows {
  QWidget* owner;  // the group's box
  QGridLayout* grid;
  int row = 0;

  void AddAcross(QWidget* widget) { grid->addWidget(widget, row++, 0, 1, 3); }
  void AddAcross(QLayout* layout) { grid->addLayout(layout, row++, 0, 1, 3); }
  void AddPair(QWidget* caption, QWidget* control) {
    grid->addWidget(caption, row, 0);
    grid->addWidget(control, row++, 1, Qt::AlignLeft);
  }
};

// Caption with the value label, then the slider, then the labels under its
// ends where it has them.
void AddSlider(const LayoutRow& row, const SettingInfo& setting, GroupRows& rows,
               ControlSettings& controls) {
  QWidget* box = rows.owner;
  QLabel* caption = Caption(box, row.caption, row.hint);  // made in reading order
  rows.AddPair(caption, NamedLabel(box, setting.value_label, QString::number(setting.default_value),
                                   controls));
  rows.AddAcross(MakeSlider(box, setting, controls));
  if (setting.min_label.empty() && setting.max_label.empty()) return;
  auto* ends = new QHBoxLayout;
  if (!setting.min_label.empty())
    ends->addWidget(NamedLabel(box, setting.min_label, QString::number(setting.minimum), controls));
  ends->addStretch();
  if (!setting.max_label.empty())
    ends->addWidget(NamedLabel(box, setting.max_label, QString::number(setting.maximum), controls));
  rows.AddAcross(ends);
}

QGroupBox* BuildGroupBox(QWidget* page, const LayoutBox& layout, ControlSettings& controls) {
  auto* box = new QGroupBox(Q(layout.title), page);
  GroupRows rows{box, Compact(new QGridLayout(box), 8, 4)};
  rows.grid->setColumnStretch(2, 1);
  for (const LayoutRow& row : layout.rows) {
    switch (row.kind) {
      case RowKind::Heading:
        rows.AddAcross(Caption(box, row.caption, row.hint));
        break;
      case RowKind::Box:
        rows.AddAcross(MakeItemBox(box, row, controls));
        break;
      case RowKind::Field:
        for (std::string_view name : row.settings) {
          const SettingInfo& setting = Setting(name);
          if (setting.kind == SettingKind::Slider) {
            AddSlider(row, setting, rows, controls);
          } else {
            QLabel* caption = Caption(box, row.caption, row.hint);  // made in reading order
            rows.AddPair(caption, MakeList(box, name, controls));
          }
        }
        break;
    }
  }
  return box;
}

// One framed box per group, top to bottom.
void BuildGroupsPage(QWidget* page, const TabLayout& tab, ControlSettings& controls) {
  auto* column = new QVBoxLayout(page);
  for (const LayoutBox& box : tab.boxes) column->addWidget(BuildGroupBox(page, box, controls));
  column->addStretch();
}

// The zone table: its row labels left, the group label above each heading.
void BuildZonePage(QWidget* page, const TabLayout& tab, ControlSettings& controls) {
  auto* outer = new QVBoxLayout(page);
  auto* grid = new QGridLayout;
  outer->addLayout(grid);
  outer->addStretch();
  const int columns = static_cast<int>(tab.columns.size());
  for (int c = 0; c < columns; ++c) {
    grid->addWidget(Caption(page, tab.columns[c].label), 0, c + 1);
    grid->addWidget(Caption(page, tab.columns[c].heading), 1, c + 1);
  }
  int line = 2;
  for (const LayoutBox& box : tab.boxes) {
    for (const LayoutRow& row : box.rows) {
      grid->addWidget(Caption(page, row.caption, row.hint), line, 0);
      for (int c = 0; c < static_cast<int>(row.settings.size()); ++c)
        grid->addWidget(MakeList(page, row.settings[c], controls), line, c + 1);
      ++line;
    }
  }
  grid->setColumnStretch(columns + 1, 1);
}

QHBoxLayout* SideBySide(const std::vector<QLineEdit*>& edits) {
  auto* line = new QHBoxLayout;
  for (QLineEdit* edit : edits) line->addWidget(edit);
  line->addStretch();
  return line;
}

// The left column's fields hold phone numbers; the right column's rows take
// their captions in a grid of their own, with framed boxes below them.
// Fields sharing a row hold about three digits each. Focus runs through
// the controls in row order.
void BuildTextFieldsPage(QWidget* page, const TabLayout& tab, ControlSettings& controls) {
  auto* outer = new QVBoxLayout(page);
  const LayoutBox& layout = tab.boxes.at(0);
  auto* box = new QGroupBox(Q(layout.title), page);
  outer->addWidget(box);
  outer->addStretch();
  auto* columns = new QHBoxLayout(box);
  auto* left = new QGridLayout;
  auto* right = new QGridLayout;
  columns->addLayout(left);
  columns->addSpacing(kColumnGap);
  auto* right_column = new QVBoxLayout;
  right_column->addLayout(right);
  columns->addLayout(right_column);
  columns->addStretch();

  std::vector<QWidget*> focus_order;
  int left_row = 0;
  int right_row = 0;
  for (const LayoutRow& row : layout.rows) {
    if (row.kind == RowKind::Box) {
      QGroupBox* item_box = MakeItemBox(box, row, controls);
      (row.column == 0 ? static_cast<QLayout*>(left) : right_column)->addWidget(item_box);
      const SettingInfo& setting = Setting(row.settings.front());
      if (setting.kind == SettingKind::Radio)
        for (QRadioButton* button : controls.Radios(setting.name)) focus_order.push_back(button);
      else
        focus_order.push_back(controls.List(setting.name));
      continue;
    }
    if (row.kind == RowKind::Heading) continue;  // no text-field page has one
    std::vector<QLineEdit*> edits;
    for (std::string_view name : row.settings) {
      edits.push_back(MakeEdit(box, Setting(name), controls));
      focus_order.push_back(edits.back());
    }
    QLabel* caption = Caption(box, row.caption, row.hint);
    if (edits.size() > 1)
      for (QLineEdit* edit : edits) edit->setFixedWidth(kAddressPartWidth);
    if (row.column == 0) {
      edits.front()->setMinimumWidth(kPhoneFieldWidth);
      left->addWidget(caption, left_row, 0);
      if (edits.size() == 1)
        left->addWidget(edits.front(), left_row++, 1);
      else
        left->addLayout(SideBySide(edits), left_row++, 1);
    } else {
      right->addWidget(caption, right_row, 0);
      right->addLayout(SideBySide(edits), right_row++, 1);
    }
  }
  for (std::size_t i = 1; i < focus_order.size(); ++i)
    QWidget::setTabOrder(focus_order[i - 1], focus_order[i]);
  right_column->addStretch();
}

}  // namespace

void BuildSettingsPages(const std::vector<QWidget*>& pages, ControlSettings& controls) {
  const auto& tabs = TabLayouts();
  for (std::size_t i = 0; i < pages.size() && i + 1 < tabs.size(); ++i) {
    const TabLayout& tab = tabs[i + 1];
    switch (tab.kind) {
      case PageKind::Greeting:
        break;
      case PageKind::ZoneTable:
        BuildZonePage(pages[i], tab, controls);
        break;
      case PageKind::GroupBoxes:
        BuildGroupsPage(pages[i], tab, controls);
        break;
      case PageKind::TextFields:
        BuildTextFieldsPage(pages[i], tab, controls);
        break;
    }
  }
}

}  // namespace qvx
