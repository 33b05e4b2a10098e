// The about window, the web-address label and errors escaping a handler.
#include <QDesktopServices>
#include <QLabel>
#include <QTabWidget>
#include <QUrl>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/clickable_label.h"
#include "app/tests/test_support.h"

// Receives the addresses the desktop is asked to open.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened << url; }
};

class AboutAndLinksTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

  void aboutWindowShowsOnceAndAgainAfterClosing();
  void webAddressLabelOpensTheAddress();
  void errorEscapingAHandlerIsShownAndTheApplicationGoesOn();
};

void AboutAndLinksTest::aboutWindowShowsOnceAndAgainAfterClosing() {
  TForm1 form;
  TForm2 about;
  form.SetAboutWindow(&about);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QVERIFY(!about.isVisible());

  form.N4Click();
  form.N4Click();
  QVERIFY(about.isVisible());
  int shown = 0;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window->windowTitle() == "О прорамме") ++shown;
  QCOMPARE(shown, 1);
  QVERIFY(form.isEnabled());  // not modal: the main window stays usable

  QVERIFY(about.close());
  QVERIFY(!about.isVisible());
  QTest::keyClick(&form, Qt::Key_F1);
  QVERIFY(about.isVisible());
  QCOMPARE(about.Label1->text(), QString("Версия программы - 1.0.0\n "));
  // Unlike the about text, the main window and the application carry the
  // program's version.
  QCOMPARE(form.Label87->text(), QString("v.1.0.6.6"));
  QCOMPARE(QApplication::applicationVersion(), QString("1.0.6.6"));

  about.showMinimized();
  form.N4Click();
  QVERIFY(about.isVisible());
  QVERIFY(!about.isMinimized());
}

void AboutAndLinksTest::webAddressLabelOpensTheAddress() {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("http", &catcher, "open");
  TForm1 form;
  form.show();
  form.PageControl1->setCurrentIndex(0);
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QTest::mouseClick(form.Label86, Qt::LeftButton);
  QDesktopServices::unsetUrlHandler("http");
  QCOMPARE(catcher.opened.size(), 1);
  QCOMPARE(catcher.opened[0].host(), form.Label86->text().toLower());
}

// An object whose event handler fails.
class FailingHandler : public QObject {
 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::runtime_error("Ошибка в обработчике");
    return QObject::event(event);
  }
};

void AboutAndLinksTest::errorEscapingAHandlerIsShownAndTheApplicationGoesOn() {
  auto* application = static_cast<qvx::QuorvexApplication*>(QApplication::instance());
  std::vector<std::string> shown;
  application->SetErrorDisplay([&](const std::string& text) { shown.push_back(text); });
  FailingHandler failing;
  QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  application->SetErrorDisplay(qvx::ShowErrorText);
  QCOMPARE(shown, (std::vector<std::string>{"Ошибка в обработчике", "Ошибка в обработчике"}));
}

QVX_TEST_MAIN(AboutAndLinksTest)
#include "about_and_links_test.moc"
