// The window against the catalogue's tab layouts: every setting stands on
// its tab, in its box, in its row and column, behind its caption, as the
// layout data place it. The browser page reads the same data, so a window
// that drifted from it would show the two renderers differently.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>

#include "app/Unit1.h"
#include "app/qt_text.h"
#include "app/tests/test_support.h"
#include "settings/page_layout.h"

using qvx::Q;

class TabLayoutsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase() { form_.reset(); }

  void everySettingStandsOnItsTabInItsBox();
  void rowsRunTopToBottomAndSettingsOfARowSideBySide();
  void fieldRowsStandBehindTheirCaptions();
  void zoneColumnsStandUnderTheirHeads();
  void rightColumnStandsRightOfTheLeft();

 private:
  // The widget that shows a setting: a radio group's first button.
  QWidget* Control(std::string_view name);
  // Place of a widget within the page of tab `tab`.
  QRect Place(int tab, const QWidget* widget) const;

  std::unique_ptr<TForm1> form_;
};

void TabLayoutsTest::initTestCase() {
  form_ = std::make_unique<TForm1>();
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  // Each page is laid out when it is first shown.
  for (int i = 0; i < form_->PageControl1->count(); ++i) {
    form_->PageControl1->setCurrentIndex(i);
    QCoreApplication::processEvents();
  }
}

QWidget* TabLayoutsTest::Control(std::string_view name) {
  qvx::ControlSettings& controls = form_->Controls();
  switch (qvx::FindSetting(name)->kind) {
    case qvx::SettingKind::List:
      return controls.List(name);
    case qvx::SettingKind::Slider:
      return controls.Slider(name);
    case qvx::SettingKind::Radio:
      return controls.Radios(name).front();
    case qvx::SettingKind::Text:
      return controls.Edit(name);
  }
  return nullptr;
}

QRect TabLayoutsTest::Place(int tab, const QWidget* widget) const {
  QWidget* page = form_->PageControl1->widget(tab);
  return QRect(widget->mapTo(page, QPoint(0, 0)), widget->size());
}

void TabLayoutsTest::everySettingStandsOnItsTabInItsBox() {
  const auto& tabs = qvx::TabLayouts();
  QCOMPARE(form_->PageControl1->count(), static_cast<int>(tabs.size()));
  for (int t = 0; t < static_cast<int>(tabs.size()); ++t) {
    QWidget* page = form_->PageControl1->widget(t);
    QCOMPARE(form_->PageControl1->tabText(t), Q(tabs[t].caption));
    for (const qvx::LayoutBox& box : tabs[t].boxes) {
      for (const qvx::LayoutRow& row : box.rows) {
        for (std::string_view name : row.settings) {
          QWidget* control = Control(name);
          QVERIFY2(page->isAncestorOf(control), name.data());
          // The framed boxes around it, innermost first.
          QStringList frames;
          for (QWidget* w = control->parentWidget(); w != page; w = w->parentWidget())
            if (auto* frame = qobject_cast<QGroupBox*>(w)) frames << frame->title();
          QStringList expected;
          if (row.kind == qvx::RowKind::Box) expected << Q(row.caption);
          if (!box.title.empty()) expected << Q(box.title);
          QCOMPARE(frames, expected);
        }
      }
    }
  }
}

void TabLayoutsTest::rowsRunTopToBottomAndSettingsOfARowSideBySide() {
  const auto& tabs = qvx::TabLayouts();
  for (int t = 0; t < static_cast<int>(tabs.size()); ++t) {
    for (const qvx::LayoutBox& box : tabs[t].boxes) {
      std::map<int, int> last_top;  // per column
      for (const qvx::LayoutRow& row : box.rows) {
        if (row.settings.empty()) continue;
        const QRect first = Place(t, Control(row.settings.front()));
        if (last_top.contains(row.column))
          QVERIFY2(first.top() > last_top[row.column], row.settings.front().data());
        last_top[row.column] = first.top();
        for (std::size_t i = 1; i < row.settings.size(); ++i) {
          const QRect before = Place(t, Control(row.settings[i - 1]));
          const QRect place = Place(t, Control(row.settings[i]));
          QVERIFY2(place.left() >= before.right(), row.settings[i].data());
          QVERIFY2(qAbs(place.center().y() - before.center().y()) <= 1, row.settings[i].data());
        }
      }
    }
  }
}

// A field's caption stands left of its control on the same line; a slider's
// caption stands above the slider. A heading stands above the row it heads.
void TabLayoutsTest::fieldRowsStandBehindTheirCaptions() {
  const auto& tabs = qvx::TabLayouts();
  for (int t = 0; t < static_cast<int>(tabs.size()); ++t) {
    QWidget* page = form_->PageControl1->widget(t);
    for (const qvx::LayoutBox& box : tabs[t].boxes) {
      for (std::size_t r = 0; r < box.rows.size(); ++r) {
        const qvx::LayoutRow& row = box.rows[r];
        if (row.kind == qvx::RowKind::Box) continue;  // its caption is its frame's title
        const QWidget* next = row.kind == qvx::RowKind::Heading
                                  ? Control(box.rows.at(r + 1).settings.front())
                                  : Control(row.settings.front());
        const QRect control = Place(t, next);
        const bool above = row.kind == qvx::RowKind::Heading || qobject_cast<const QSlider*>(next);
        bool found = false;
        for (const QLabel* label : page->findChildren<QLabel*>()) {
          if (label->text() != Q(row.caption)) continue;
          const QRect caption = Place(t, label);
          found = found || (above ? caption.bottom() < control.top()
                                  : caption.right() < control.left() &&
                                        caption.top() <= control.center().y() &&
                                        caption.bottom() >= control.center().y());
          if (found) QCOMPARE(label->toolTip(), Q(row.hint));
        }
        QVERIFY2(found, qPrintable(Q(row.caption)));
      }
    }
  }
}

void TabLayoutsTest::zoneColumnsStandUnderTheirHeads() {
  const auto& tabs = qvx::TabLayouts();
  for (int t = 0; t < static_cast<int>(tabs.size()); ++t) {
    if (tabs[t].kind != qvx::PageKind::ZoneTable) continue;
    QWidget* page = form_->PageControl1->widget(t);
    for (std::size_t c = 0; c < tabs[t].columns.size(); ++c) {
      const qvx::ZoneColumn& column = tabs[t].columns[c];
      QRect label, heading;
      for (const QLabel* w : page->findChildren<QLabel*>()) {
        if (w->text() == Q(column.label)) label = Place(t, w);
        if (w->text() == Q(column.heading)) heading = Place(t, w);
      }
      QVERIFY(label.bottom() < heading.top());
      for (const qvx::LayoutRow& row : tabs[t].boxes.at(0).rows) {
        const QRect control = Place(t, Control(row.settings.at(c)));
        QCOMPARE(control.left(), heading.left());
        QVERIFY(heading.bottom() < control.top());
      }
    }
  }
}

void TabLayoutsTest::rightColumnStandsRightOfTheLeft() {
  const auto& tabs = qvx::TabLayouts();
  for (int t = 0; t < static_cast<int>(tabs.size()); ++t) {
    int left_edge = INT_MAX, right_of_left = INT_MIN;
    for (const qvx::LayoutBox& box : tabs[t].boxes)
      for (const qvx::LayoutRow& row : box.rows)
        for (std::string_view name : row.settings) {
          const QRect place = Place(t, Control(name));
          if (row.column == 0)
            right_of_left = std::max(right_of_left, place.right());
          else
            left_edge = std::min(left_edge, place.left());
        }
    if (left_edge != INT_MAX) QVERIFY2(left_edge > right_of_left, qPrintable(Q(tabs[t].caption)));
  }
}

QVX_TEST_MAIN(TabLayoutsTest)
#include "tab_layouts_test.moc"
