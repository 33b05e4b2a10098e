// The window is whole whatever the desktop gives it: the font (the tests run
// once per font, with a font configuration that offers only that font), the
// scale factor, and Qt's own texts in Russian.
#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include "app/Unit1.h"
#include "app/clickable_label.h"
#include "app/tests/test_support.h"

class WindowOnAnyDesktopTest : public QObject, qvx::test::WindowFixture {
  Q_OBJECT

 private slots:
  void init() { OpenWindow(true); }
  void cleanup() { CloseWindow(); }

  void drawsWithTheFontOfThisRun();
  void everyTabCaptionShowsWholeWithoutScrollArrows();
  void greetingLinesClearTheLogo();
  void nothingOnAnyPageIsCutOff();
  void fileDialogSpeaksRussian();

 private:
};

// The font configuration of the run offers one family; the window must really
// be drawn in it, or the other checks prove nothing about that font.
void WindowOnAnyDesktopTest::drawsWithTheFontOfThisRun() {
  const QByteArray expected = qgetenv("QVX_EXPECTED_FONT");
  if (expected.isEmpty()) QSKIP("no font set for this run");
  QCOMPARE(QFontInfo(form_->font()).family(), QString::fromUtf8(expected));
  QCOMPARE(form_->size(), QSize(1017, 608));
  QCOMPARE(form_->PageControl1->geometry(), QRect(120, 0, 881, 569));
  QCOMPARE(form_->ComboBox1->geometry(), QRect(24, 32, 81, 24));
}

void WindowOnAnyDesktopTest::everyTabCaptionShowsWholeWithoutScrollArrows() {
  QTabBar* tabs = form_->PageControl1->tabBar();
  for (QToolButton* arrow : tabs->findChildren<QToolButton*>())
    QVERIFY2(!arrow->isVisible(), qPrintable(arrow->objectName()));
  const QFontMetrics metrics(tabs->font());
  for (int i = 0; i < tabs->count(); ++i) {
    const QRect tab = tabs->tabRect(i);
    QVERIFY2(tabs->rect().contains(tab), qPrintable(tabs->tabText(i)));
    QVERIFY2(tab.width() > metrics.horizontalAdvance(tabs->tabText(i)),
             qPrintable(tabs->tabText(i)));
  }
}

void WindowOnAnyDesktopTest::greetingLinesClearTheLogo() {
  const QLabel* logo = form_->Image1;
  QCOMPARE(logo->geometry(), QRect(452, 4, 423, 337));
  const QSize picture = logo->pixmap().deviceIndependentSize().toSize();
  QVERIFY(picture.width() >= 423 / 2);  // still a logo, not a stamp
  // Drawn in the bottom right corner of its box.
  const QRect drawn(
      logo->geometry().bottomRight() - QPoint(picture.width(), picture.height()) + QPoint(1, 1),
      picture);
  const QLabel* lines[] = {form_->StaticText17, form_->StaticText18, form_->StaticText19,
                           form_->StaticText20, form_->StaticText21, form_->StaticText23,
                           form_->StaticText24, form_->StaticText22};
  for (const QLabel* line : lines) {
    QVERIFY2(!line->geometry().intersects(drawn), qPrintable(line->text()));
    QVERIFY2(line->width() >= line->sizeHint().width(), qPrintable(line->text()));
  }
  const QWidget* page = form_->TabSheet1;
  for (const QLabel* big : {form_->StaticText16, static_cast<QLabel*>(form_->Label86)}) {
    QVERIFY2(page->rect().contains(big->geometry()), qPrintable(big->text()));
    QVERIFY2(big->width() >= big->sizeHint().width(), qPrintable(big->text()));
  }
}

// Every caption, option text and value label lies inside its page and has at
// least the room its text asks for.
void WindowOnAnyDesktopTest::nothingOnAnyPageIsCutOff() {
  for (int tab = 1; tab < form_->PageControl1->count(); ++tab) {
    form_->PageControl1->setCurrentIndex(tab);
    QWidget* page = form_->PageControl1->currentWidget();
    // A list asks for its new size through a posted layout request; let
    // every request the first showing of the page made run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QList<QWidget*> texts;
    for (QLabel* w : page->findChildren<QLabel*>()) texts.append(w);
    for (QAbstractButton* w : page->findChildren<QAbstractButton*>()) texts.append(w);
    for (QGroupBox* w : page->findChildren<QGroupBox*>()) texts.append(w);
    for (QComboBox* w : page->findChildren<QComboBox*>()) texts.append(w);
    QVERIFY(!texts.isEmpty());
    for (QWidget* text : texts) {
      const QString what = page->objectName() + " " + text->objectName();
      const QRect place(text->mapTo(page, QPoint(0, 0)), text->size());
      QVERIFY2(page->rect().contains(place), qPrintable(what));
      QVERIFY2(text->width() >= text->minimumSizeHint().width(), qPrintable(what));
      if (auto* list = qobject_cast<QComboBox*>(text))
        QVERIFY2(list->width() >= list->sizeHint().width(), qPrintable(what));
    }
  }
}

void WindowOnAnyDesktopTest::fileDialogSpeaksRussian() {
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  auto* buttons = dialog.findChild<QDialogButtonBox*>();
  QVERIFY(buttons != nullptr);
  QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text().remove('&'), QString("Отмена"));
  QCOMPARE(buttons->button(QDialogButtonBox::Open)->text().remove('&'), QString("Открыть"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  QCOMPARE(buttons->button(QDialogButtonBox::Save)->text().remove('&'), QString("Сохранить"));
}

QVX_TEST_MAIN(WindowOnAnyDesktopTest)
#include "window_on_any_desktop_test.moc"
