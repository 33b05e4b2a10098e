// The real message boxes: their texts and buttons as the outcomes need them,
// and wide enough that a window manager shows their titles whole.
#include <QAbstractButton>
#include <QMessageBox>

#include "app/message_boxes.h"
#include "app/tests/test_support.h"
#include "app/title_width.h"

class MessageBoxesTest : public QObject {
  Q_OBJECT

 private slots:
  void boxesAreWideEnoughForTheirTitles_data();
  void boxesAreWideEnoughForTheirTitles();
};

namespace {

struct Seen {
  QString title;
  QString text;
  int width = 0;
  int title_width = 0;
  QStringList buttons;
  bool icon = true;
};

// Looks at the box as soon as it is shown, then answers it with its last button.
void LookWhenShown(Seen& seen) {
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.width = box->width();
    seen.title_width = qvx::TitleWidth(box->windowTitle(), *box);
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
    seen.icon = box->icon() != QMessageBox::NoIcon;
    box->buttons().last()->click();
  });
}

}  // namespace

void MessageBoxesTest::boxesAreWideEnoughForTheirTitles_data() {
  QTest::addColumn<QString>("kind");  // show, standard or ask
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("title");
  QTest::addColumn<int>("buttons");
  QTest::newRow("error") << "show"
                         << "Файл не найден"
                         << "Ошибка" << 1;
  QTest::newRow("error with a trailing blank") << "show"
                                               << "Не удалось получить данные"
                                               << "Ошибка " << 1;
  QTest::newRow("saved") << "show"
                         << "Файл успешно сохранен"
                         << "Сохранение" << 1;
  QTest::newRow("success as its own title") << "show"
                                            << "Данные успешно отправлены"
                                            << "Данные успешно отправлены" << 1;
  QTest::newRow("standard dialog")
      << "standard"
      << "Error 1: Не могу открыть указанный Com порт!\nПорт ttyUSB0: нет такого устройства"
      << "Quorvex" << 1;
  QTest::newRow("empty error text") << "standard"
                                    << ""
                                    << "Quorvex" << 1;
  QTest::newRow("question") << "ask"
                            << "Заменить?"
                            << "Сохранение" << 2;
}

void MessageBoxesTest::boxesAreWideEnoughForTheirTitles() {
  QFETCH(QString, kind);
  QFETCH(QString, text);
  QFETCH(QString, title);
  QFETCH(int, buttons);
  qvx::QtMessageBoxes boxes;
  Seen seen;
  LookWhenShown(seen);
  if (kind == "show")
    boxes.Show(text.toStdString(), title.toStdString());
  else if (kind == "standard")
    boxes.ShowStandard(text.toStdString());
  else
    QVERIFY(!boxes.AskYesNo(text.toStdString(), title.toStdString()));  // the last button is "No"
  QCOMPARE(seen.title, title);
  QCOMPARE(seen.text, text);
  QCOMPARE(seen.buttons.size(), buttons);
  QVERIFY(!seen.icon);
  // The title's text alone, without the title bar's buttons, is far less.
  QVERIFY2(seen.title_width > QFontMetrics(QApplication::font()).horizontalAdvance(title) + 60,
           qPrintable(QString::number(seen.title_width)));
  QVERIFY2(seen.width >= seen.title_width,
           qPrintable(QString("%1 < %2").arg(seen.width).arg(seen.title_width)));
}

QVX_TEST_MAIN(MessageBoxesTest)
#include "message_boxes_test.moc"
