// Checks the window's pictures as the window loads them: from the compiled resources,
// at the size the layout reserves for each, drawn without complaints from the renderer.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

namespace {

// Messages the renderer emits while parsing or drawing; any of them means a picture
// uses something the renderer ignores, so what the user sees differs from the drawing.
QStringList g_messages;

void collectMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
  g_messages << text;
}

// Count of pixels that are not fully transparent.
int paintedPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) ++count;
  return count;
}

}  // namespace

class ImagesTest : public QObject {
  Q_OBJECT

 private slots:
  void everyPictureIsListed();
  void drawsCleanlyAtItsSize_data();
  void drawsCleanlyAtItsSize();
  void iconStaysVisibleWhenSmall_data();
  void iconStaysVisibleWhenSmall();
};

// The resource holds exactly the pictures the window asks for, no more, no fewer.
void ImagesTest::everyPictureIsListed() {
  const QStringList names = QDir(":/images").entryList(QDir::Files, QDir::Name);
  const QStringList expected = {"about_logo.svg", "icon.svg", "logo.svg",  "open.svg",
                                "read.svg",       "save.svg", "write.svg", "write_disabled.svg"};
  QCOMPARE(names, expected);
}

void ImagesTest::drawsCleanlyAtItsSize_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<QSize>("size");
  QTest::newRow("open") << ":/images/open.svg" << QSize(32, 32);
  QTest::newRow("save") << ":/images/save.svg" << QSize(32, 32);
  QTest::newRow("read") << ":/images/read.svg" << QSize(32, 32);
  QTest::newRow("write") << ":/images/write.svg" << QSize(32, 32);
  QTest::newRow("write greyed") << ":/images/write_disabled.svg" << QSize(91, 102);
  QTest::newRow("logo") << ":/images/logo.svg" << QSize(430, 274);
  QTest::newRow("about logo") << ":/images/about_logo.svg" << QSize(200, 104);
  QTest::newRow("icon") << ":/images/icon.svg" << QSize(64, 64);
}

void ImagesTest::drawsCleanlyAtItsSize() {
  QFETCH(QString, path);
  QFETCH(QSize, size);

  g_messages.clear();
  const QtMessageHandler previous = qInstallMessageHandler(collectMessage);
  QSvgRenderer renderer(path);
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  qInstallMessageHandler(previous);

  QVERIFY2(renderer.isValid(), qPrintable(path));
  QCOMPARE(renderer.defaultSize(), size);
  QVERIFY2(g_messages.isEmpty(), qPrintable(g_messages.join('\n')));
  // A picture that parses but draws next to nothing has lost its content.
  QVERIFY(paintedPixels(image) > size.width() * size.height() / 10);
}

void ImagesTest::iconStaysVisibleWhenSmall_data() {
  QTest::addColumn<int>("side");
  for (int side : {64, 32, 24, 16}) QTest::newRow(qPrintable(QString::number(side))) << side;
}

// The icon's mark must fill most of its square at every size the desktop asks for.
void ImagesTest::iconStaysVisibleWhenSmall() {
  QFETCH(int, side);
  QSvgRenderer renderer(QStringLiteral(":/images/icon.svg"));
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  QVERIFY(paintedPixels(image) > side * side / 2);
}

QTEST_MAIN(ImagesTest)  // text in the pictures needs the GUI application
#include "images_test.moc"
