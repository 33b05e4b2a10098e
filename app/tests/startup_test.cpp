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

  void everySettingStartsAtTheModelDefault();
  void sliderLabelsShowTheDefaults();
  void listsOfferTheCatalogueOptionsForChoosingOnly();
  void slidersFollowTheCatalogue();
  void tabsInOrderWithTheFirstActive();
  void commandColumnAtItsPlaces_data();
  void commandColumnAtItsPlaces();
  void greyedWriteButtonShowsOnlyWhileTheButtonIsHidden();
  void serviceConsoleLiesBehindThePageControl();
  void windowIsFixedAndWhite();
  void subscriberFieldsTakeFocusInOrder();

 private:
  std::unique_ptr<TForm1> form_;
};

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
  QCOMPARE(form_->TrackBar2->minimum(), -50);
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

void StartupTest::commandColumnAtItsPlaces_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("place");
  QTest::addColumn<QString>("caption");
  QTest::newRow("ComboBox1") << "ComboBox1" << QRect(24, 32, 81, 24) << "";
  QTest::newRow("N2") << "N2" << QRect(16, 72, 89, 97) << "Открыть";
  QTest::newRow("N3") << "N3" << QRect(16, 168, 89, 97) << "Сохранить";
  QTest::newRow("BitBtn1") << "BitBtn1" << QRect(16, 264, 89, 97) << "Прочитать";
  QTest::newRow("BitBtn2") << "BitBtn2" << QRect(16, 360, 89, 97) << "Записать";
  QTest::newRow("Image2") << "Image2" << QRect(14, 358, 105, 105) << "";
  QTest::newRow("PageControl1") << "PageControl1" << QRect(120, 0, 881, 569) << "";
}

void StartupTest::commandColumnAtItsPlaces() {
  QFETCH(QString, name);
  QFETCH(QRect, place);
  QFETCH(QString, caption);
  auto* widget = form_->findChild<QWidget*>(name);
  QVERIFY(widget != nullptr);
  QCOMPARE(widget->parentWidget(), form_.get());
  QCOMPARE(widget->geometry(), place);
  if (auto* button = qobject_cast<QToolButton*>(widget)) {
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QCOMPARE(button->iconSize(), QSize(32, 32));
  }
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
}

void StartupTest::windowIsFixedAndWhite() {
  QCOMPARE(form_->windowTitle(), QString("Quorvex"));
  QCOMPARE(form_->minimumSize(), QSize(1017, 608));
  QCOMPARE(form_->maximumSize(), QSize(1017, 608));
  QCOMPARE(form_->palette().color(QPalette::Window), QColor(Qt::white));
  const QRect page = form_->PageControl1->geometry();
  form_->resize(1200, 700);
  QCOMPARE(form_->size(), QSize(1017, 608));
  QCOMPARE(form_->PageControl1->geometry(), page);
}

void StartupTest::subscriberFieldsTakeFocusInOrder() {
  form_->show();
  form_->PageControl1->setCurrentWidget(form_->TabSheet11);
  QVERIFY(QTest::qWaitForWindowActive(form_.get()));
  form_->Edit16->setFocus();
  for (int n = 17; n <= 30; ++n) {
    QWidget* next = QApplication::focusWidget()->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus) || !next->isVisible())
      next = next->nextInFocusChain();
    QCOMPARE(next->objectName(), QStringLiteral("Edit%1").arg(n));
    next->setFocus();
  }
}

QVX_TEST_MAIN(StartupTest)
#include "startup_test.moc"
