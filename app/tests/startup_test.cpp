// The main window right after start-up: defaults in the controls, the fixed
// layout, the names every other part relies on.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <stdexcept>
#include <string_view>

#include "app/Unit1.h"
#include "app/qt_text.h"
#include "app/tests/test_support.h"
#include "settings/catalogue.h"
#include "settings/memory_settings.h"

using qvx::Q;

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { form_ = std::make_unique<TForm1>(); }
  void cleanup() {
    form_.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  void controlsIndexHoldsEveryCatalogueControlByItsName();
  void everySettingStartsAtTheModelDefault();
  void sliderLabelsShowTheDefaults();
  void listsOfferTheCatalogueOptionsForChoosingOnly();
  void slidersFollowTheCatalogue();
  void tabsInOrderWithTheFirstActive();
  void greyedWriteButtonShowsOnlyWhileTheButtonIsHidden();
  void serviceConsoleLiesBehindThePageControl();
  void resizingMovesNothing();
  void leftColumnTakesFocusInOrderAndSkipsTheConsole();
  void subscriberFieldsTakeFocusInOrder();

 private:
  QStringList TabWalk(QWidget* start, int presses);

  std::unique_ptr<TForm1> form_;
};

// The one index from name to widget holds every catalogue control under
// the name the control carries.
void StartupTest::controlsIndexHoldsEveryCatalogueControlByItsName() {
  qvx::ControlSettings& controls = form_->Controls();
  auto check = [](const QObject* control, std::string_view name) {
    QVERIFY2(control != nullptr, name.data());
    QCOMPARE(control->objectName(), Q(name));
  };
  for (const qvx::SettingInfo& setting : qvx::Catalogue()) {
    switch (setting.kind) {
      case qvx::SettingKind::List:
        check(controls.List(setting.name), setting.name);
        break;
      case qvx::SettingKind::Slider:
        check(controls.Slider(setting.name), setting.name);
        for (std::string_view label : {setting.value_label, setting.min_label, setting.max_label})
          if (!label.empty()) check(controls.Label(label), label);
        break;
      case qvx::SettingKind::Radio: {
        const auto& buttons = controls.Radios(setting.name);
        QCOMPARE(buttons.size(), setting.buttons.size());
        for (std::size_t i = 0; i < buttons.size(); ++i)
          check(buttons[i], setting.buttons[i].control);
        break;
      }
      case qvx::SettingKind::Text:
        check(controls.Edit(setting.name), setting.name);
        break;
    }
  }
  QVERIFY_THROWS_EXCEPTION(std::invalid_argument, controls.List("ComboBox1"));
}

void StartupTest::everySettingStartsAtTheModelDefault() {
  const qvx::MemorySettings model;
  qvx::Settings& window = form_->Settings();
  for (const qvx::SettingInfo& setting : qvx::Catalogue()) {
    const QString name = Q(setting.name);
    if (setting.kind == qvx::SettingKind::Text)
      QCOMPARE(window.Text(setting.name), model.Text(setting.name));
    else
      QVERIFY2(qvx::ReadValue(window, setting) == qvx::ReadValue(model, setting), qPrintable(name));
  }
}

void StartupTest::sliderLabelsShowTheDefaults() {
  const std::vector<std::pair<const char*, const char*>> expected = {
      {"Label32", "0"},  {"Label43", "-50"}, {"Label39", "-50"},
      {"Label40", "99"}, {"Label41", "-50"}, {"Label42", "99"},
      {"Label58", "9"},  {"Label70", "1"},   {"Label84", "1"}};
  for (const auto& [label, text] : expected) {
    QCOMPARE(form_->Settings().LabelText(label), std::string(text));
    QCOMPARE(form_->findChild<QLabel*>(label)->text(), QString(text));
  }
  QCOMPARE(form_->Controls().Slider("TrackBar2")->minimum(), -50);
}

void StartupTest::listsOfferTheCatalogueOptionsForChoosingOnly() {
  for (const qvx::SettingInfo& setting : qvx::Catalogue()) {
    if (setting.kind != qvx::SettingKind::List) continue;
    auto* list = form_->findChild<QComboBox*>(Q(setting.name));
    QVERIFY2(list != nullptr, setting.name.data());
    QVERIFY(!list->isEditable());
    QCOMPARE(list->count(), static_cast<int>(setting.options.size()));
    for (int i = 0; i < list->count(); ++i) QCOMPARE(list->itemText(i), Q(setting.options[i]));
  }
  QVERIFY(form_->ComboBox1->isEditable());
}

void StartupTest::slidersFollowTheCatalogue() {
  for (const qvx::SettingInfo& setting : qvx::Catalogue()) {
    if (setting.kind != qvx::SettingKind::Slider) continue;
    auto* slider = form_->findChild<QSlider*>(Q(setting.name));
    QCOMPARE(slider->maximum(), setting.maximum);
    QCOMPARE(slider->value(), setting.default_value);
    QCOMPARE(slider->pageStep(), 5);
    QCOMPARE(slider->tickPosition(), QSlider::TicksBelow);
    QCOMPARE(slider->tickInterval(), 1);
  }
}

void StartupTest::tabsInOrderWithTheFirstActive() {
  const auto& captions = qvx::TabCaptions();
  QCOMPARE(form_->PageControl1->count(), 11);
  for (int i = 0; i < 11; ++i) {
    QCOMPARE(form_->PageControl1->tabText(i), Q(captions[i]));
    QCOMPARE(form_->PageControl1->widget(i)->objectName(), QStringLiteral("TabSheet%1").arg(i + 1));
    QVERIFY(form_->PageControl1->tabIcon(i).isNull());
  }
  QCOMPARE(form_->PageControl1->currentWidget(), form_->TabSheet1);
}

void StartupTest::greyedWriteButtonShowsOnlyWhileTheButtonIsHidden() {
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  const QPoint centre = form_->BitBtn2->geometry().center();
  auto owner = [&](QWidget* child) {
    while (child != nullptr && child->parentWidget() != form_.get()) child = child->parentWidget();
    return child;
  };
  QCOMPARE(owner(form_->childAt(centre)), form_->BitBtn2);
  form_->BitBtn2->hide();
  QCOMPARE(owner(form_->childAt(centre)), form_->Image2);
  QVERIFY(!form_->Image2->pixmap().isNull());
}

void StartupTest::serviceConsoleLiesBehindThePageControl() {
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  const QList<QWidget*> console = {form_->Memo1,   form_->Memo2,   form_->Memo3,
                                   form_->Button4, form_->Button5, form_->Button6,
                                   form_->Button7, form_->Edit1,   form_->Edit15};
  for (QWidget* control : console) {
    QCOMPARE(control->parentWidget(), form_.get());
    QWidget* seen = form_->childAt(control->geometry().center());
    QVERIFY2(seen == form_->PageControl1 || form_->PageControl1->isAncestorOf(seen),
             qPrintable(control->objectName()));
  }
  QCOMPARE(form_->Memo1->toPlainText(), QString("Memo1"));
  QVERIFY(!form_->Timer1->isActive());
  QCOMPARE(form_->Timer1->interval(), 2000);
  QVERIFY(form_->Timer1->isSingleShot());
}

void StartupTest::resizingMovesNothing() {
  const QRect page = form_->PageControl1->geometry();
  const QRect write = form_->BitBtn2->geometry();
  form_->resize(1200, 700);
  QCOMPARE(form_->size(), QSize(1017, 608));
  QCOMPARE(form_->PageControl1->geometry(), page);
  QCOMPARE(form_->BitBtn2->geometry(), write);
}

// Object names of the controls the Tab key visits from `start`, `presses` times.
QStringList StartupTest::TabWalk(QWidget* start, int presses) {
  start->setFocus();
  QStringList visited;
  for (int i = 0; i < presses; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* focus = QApplication::focusWidget();
    // The page control takes the keyboard through its tab bar.
    visited << (focus == form_->PageControl1->tabBar() ? QString("PageControl1")
                                                       : focus->objectName());
  }
  return visited;
}

void StartupTest::leftColumnTakesFocusInOrderAndSkipsTheConsole() {
  form_->show();
  QVERIFY(QTest::qWaitForWindowActive(form_.get()));
  // The greeting page has nothing to focus, and the console behind the page
  // control is never reached: the walk comes round to ComboBox1.
  QCOMPARE(TabWalk(form_->ComboBox1, 6),
           (QStringList{"N2", "N3", "BitBtn1", "BitBtn2", "PageControl1", "ComboBox1"}));
}

void StartupTest::subscriberFieldsTakeFocusInOrder() {
  form_->show();
  form_->PageControl1->setCurrentWidget(form_->TabSheet11);
  QVERIFY(QTest::qWaitForWindowActive(form_.get()));
  QStringList expected;
  for (int n = 16; n <= 30; ++n) expected << QStringLiteral("Edit%1").arg(n);
  expected << "RadioButton141411"
           << "ComboBox1";
  QCOMPARE(TabWalk(form_->PageControl1->tabBar(), static_cast<int>(expected.size())), expected);
}

QVX_TEST_MAIN(StartupTest)
#include "startup_test.moc"
