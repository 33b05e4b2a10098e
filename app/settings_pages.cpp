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
#include <algorithm>

#include "app/qt_text.h"
#include "settings/settings.h"

namespace qvx {

namespace {

constexpr int kZoneGroups = 4;
constexpr int kZones = 6;
constexpr int kSliderPageStep = 5;
constexpr int kAddressPartWidth = 40;

std::vector<const SettingInfo*> SettingsOnTab(std::string_view tab) {
  std::vector<const SettingInfo*> found;
  for (const SettingInfo& setting : Catalogue())
    if (setting.tab == tab) found.push_back(&setting);
  return found;
}

const ItemBox* FindItemBox(int group, int item) {
  for (const ItemBox& box : ItemBoxes())
    if (box.group == group && box.item == item) return &box;
  return nullptr;
}

// Every widget is made inside its final parent: one made outside and added
// later gets the window's font as a change, and a list then builds its popup.
QLabel* Caption(QWidget* parent, std::string_view text, std::string_view hint = {}) {
  auto* label = new QLabel(Q(text), parent);
  if (!hint.empty()) label->setToolTip(Q(hint));
  return label;
}

QLabel* NamedLabel(QWidget* parent, std::string_view name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(Q(name));
  return label;
}

QComboBox* MakeList(QWidget* parent, std::string_view name) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(Q(name));
  combo->setEditable(false);  // choose an option, never type one
  // The default policy fits the list to its options when it is first shown,
  // and they never change after FormCreate. AdjustToContents would build
  // every list's popup at once, long before anyone opens one.
  return combo;
}

QSlider* MakeSlider(QWidget* parent, const SettingInfo& setting) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(Q(setting.name));
  slider->setRange(setting.minimum, setting.maximum);
  slider->setValue(setting.default_value);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  slider->setSingleStep(1);
  slider->setPageStep(kSliderPageStep);
  return slider;
}

// Layouts inside the framed boxes are kept tight so the fullest pages fit.
template <typename Layout>
Layout* Compact(Layout* layout, int margin = 6, int spacing = 3) {
  layout->setContentsMargins(margin, margin / 2, margin, margin / 2);
  layout->setSpacing(spacing);
  return layout;
}

// Radio buttons of one group inside box, the default one checked.
void AddRadioButtons(const SettingInfo& setting, QGroupBox* box) {
  auto* column = Compact(new QVBoxLayout(box), 6, 0);
  for (std::size_t i = 0; i < setting.buttons.size(); ++i) {
    auto* button = new QRadioButton(Q(setting.buttons[i].caption), box);
    button->setObjectName(Q(setting.buttons[i].control));
    button->setChecked(static_cast<int>(i) == RadioButtonFor(setting, setting.default_value));
    column->addWidget(button);
  }
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

// Caption with the value label, then the slider; the temperature sliders
// also get the labels under their ends.
void AddSlider(const SettingInfo& setting, GroupRows& rows) {
  QWidget* box = rows.owner;
  QLabel* caption = Caption(box, setting.caption, setting.hint);  // made in reading order
  rows.AddPair(caption,
               NamedLabel(box, setting.value_label, QString::number(setting.default_value)));
  rows.AddAcross(MakeSlider(box, setting));

  const LayoutTexts& layout = Layout();
  std::string_view left, right;
  if (setting.name == kHighThresholdSlider) {
    left = layout.high_slider_min_label;
    right = layout.high_slider_max_label;
  } else if (setting.name == kLowThresholdSlider) {
    left = layout.low_slider_min_label;
    right = layout.low_slider_max_label;
  } else {
    return;
  }
  auto* ends = new QHBoxLayout;
  ends->addWidget(NamedLabel(box, left, QString::number(setting.minimum)));
  ends->addStretch();
  ends->addWidget(NamedLabel(box, right, QString::number(setting.maximum)));
  rows.AddAcross(ends);
}

// An item that has a framed box of its own (Set13, Set14).
void AddItemInBox(const SettingInfo& setting, const ItemBox& item_box, GroupRows& rows) {
  auto* box = new QGroupBox(Q(item_box.caption), rows.owner);
  if (!item_box.hint.empty()) box->setToolTip(Q(item_box.hint));
  if (setting.kind == SettingKind::Radio) {
    AddRadioButtons(setting, box);
  } else {
    auto* inside = Compact(new QHBoxLayout(box));
    inside->addWidget(MakeList(box, setting.name));
    inside->addStretch();
  }
  rows.AddAcross(box);
}

QGroupBox* BuildGroupBox(QWidget* page, int group, const std::vector<const SettingInfo*>& items) {
  auto* box = new QGroupBox(Q(GroupName(group)), page);
  GroupRows rows{box, Compact(new QGridLayout(box), 8, 4)};
  rows.grid->setColumnStretch(2, 1);
  for (const SettingInfo* setting : items) {
    if (group == 12 && setting->item == 1) rows.AddAcross(Caption(box, Layout().set12_heading));
    if (const ItemBox* item_box = FindItemBox(group, setting->item)) {
      AddItemInBox(*setting, *item_box, rows);
    } else if (setting->kind == SettingKind::Slider) {
      AddSlider(*setting, rows);
    } else {
      QLabel* caption = Caption(box, setting->caption, setting->hint);  // made in reading order
      rows.AddPair(caption, MakeList(box, setting->name));
    }
  }
  return box;
}

// One framed box per group, in catalogue order, top to bottom.
void BuildGroupsPage(QWidget* page, std::string_view tab) {
  auto* column = new QVBoxLayout(page);
  std::vector<const SettingInfo*> items;
  int group = 0;
  for (const SettingInfo* setting : SettingsOnTab(tab)) {
    if (setting->group != group && !items.empty()) {
      column->addWidget(BuildGroupBox(page, group, items));
      items.clear();
    }
    group = setting->group;
    items.push_back(setting);
  }
  if (!items.empty()) column->addWidget(BuildGroupBox(page, group, items));
  column->addStretch();
}

// Six rows of zones, four columns of groups; group label above each heading.
void BuildZonePage(QWidget* page) {
  auto* outer = new QVBoxLayout(page);
  auto* grid = new QGridLayout;
  outer->addLayout(grid);
  outer->addStretch();
  const auto& columns = ZoneColumns();
  for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
    grid->addWidget(Caption(page, GroupName(columns[c].group)), 0, c + 1);
    grid->addWidget(Caption(page, columns[c].heading), 1, c + 1);
  }
  for (int zone = 1; zone <= kZones; ++zone) {
    const SettingInfo* first = FindSetting(ZoneControlName(zone, 1));
    grid->addWidget(Caption(page, first->caption, first->hint), zone + 1, 0);
    for (int c = 0; c < static_cast<int>(columns.size()); ++c)
      grid->addWidget(MakeList(page, ZoneControlName(zone, columns[c].group)), zone + 1, c + 1);
  }
  grid->setColumnStretch(kZoneGroups + 1, 1);
}

QLineEdit* MakeEdit(QWidget* parent, const SettingInfo& setting) {
  auto* edit = new QLineEdit(Q(setting.default_text), parent);
  edit->setObjectName(Q(setting.name));
  return edit;
}

// Subscribers on the left; password, address and port on the right; the
// storage choice below. Focus runs Edit16 .. Edit30, then the storage choice.
void BuildSubscriberPage(QWidget* page, std::string_view tab) {
  auto* outer = new QVBoxLayout(page);
  auto* box = new QGroupBox(Q(Layout().subscribers_box), page);
  outer->addWidget(box);
  outer->addStretch();
  auto* columns = new QHBoxLayout(box);
  auto* subscribers = new QGridLayout;
  auto* right = new QGridLayout;
  columns->addLayout(subscribers);
  columns->addSpacing(40);
  auto* right_column = new QVBoxLayout;
  right_column->addLayout(right);
  columns->addLayout(right_column);
  columns->addStretch();

  std::vector<QWidget*> focus_order;
  QGroupBox* storage = nullptr;
  int subscriber_row = 0;
  int right_row = 0;
  std::string previous_field;
  QHBoxLayout* row = nullptr;
  for (const SettingInfo* setting : SettingsOnTab(tab)) {
    if (setting->kind == SettingKind::Radio) {
      storage = new QGroupBox(Q(setting->caption), box);
      AddRadioButtons(*setting, storage);
      right_column->addWidget(storage);
      continue;
    }
    QLineEdit* edit = MakeEdit(box, *setting);
    focus_order.push_back(edit);
    const std::string field = TextFieldName(*setting);
    if (field.rfind("Abon", 0) == 0) {
      edit->setMinimumWidth(130);
      subscribers->addWidget(Caption(box, setting->caption, setting->hint), subscriber_row, 0);
      subscribers->addWidget(edit, subscriber_row++, 1);
    } else if (field == previous_field && row != nullptr) {
      // The four address parts stand side by side behind one caption and
      // hold about three digits each.
      row->itemAt(0)->widget()->setFixedWidth(kAddressPartWidth);
      edit->setFixedWidth(kAddressPartWidth);
      row->insertWidget(row->count() - 1, edit);
    } else {
      right->addWidget(Caption(box, setting->caption, setting->hint), right_row, 0);
      row = new QHBoxLayout;
      row->addWidget(edit);
      row->addStretch();
      right->addLayout(row, right_row++, 1);
    }
    previous_field = field;
  }
  // The storage choice below the fields comes last.
  if (storage != nullptr)
    for (QRadioButton* button : storage->findChildren<QRadioButton*>())
      focus_order.push_back(button);
  for (std::size_t i = 1; i < focus_order.size(); ++i)
    QWidget::setTabOrder(focus_order[i - 1], focus_order[i]);
  right_column->addStretch();
}

}  // namespace

void BuildSettingsPages(const std::vector<QWidget*>& pages) {
  const auto& tabs = TabCaptions();
  for (std::size_t i = 0; i < pages.size() && i + 1 < tabs.size(); ++i) {
    const std::string_view tab = tabs[i + 1];
    const auto settings = SettingsOnTab(tab);
    const bool zones = std::any_of(settings.begin(), settings.end(), [](const SettingInfo* s) {
      return s->group >= 1 && s->group <= 4;
    });
    const bool texts = std::any_of(settings.begin(), settings.end(), [](const SettingInfo* s) {
      return s->kind == SettingKind::Text;
    });
    if (zones)
      BuildZonePage(pages[i]);
    else if (texts)
      BuildSubscriberPage(pages[i], tab);
    else
      BuildGroupsPage(pages[i], tab);
  }
}

}  // namespace qvx
