// Takes a screenshot of every tab of the main window for the documentation.
// Run under an X server (xvfb-run); it shows each tab in turn and captures
// the screen with ImageMagick's `import`, cut to the window.
//
//   xvfb-run -s "-screen 0 1280x800x24" build/bin/window_screens docs/screens
#include <QDir>
#include <QProcess>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "app/Unit1.h"
#include "app/application.h"

int main(int argc, char** argv) {
  qvx::QuorvexApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_screens OUTPUT_FOLDER\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  TForm1 form;
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  const QRect place = form.geometry();
  const QString crop = QStringLiteral("%1x%2+%3+%4")
                           .arg(place.width())
                           .arg(place.height())
                           .arg(place.x())
                           .arg(place.y());
  for (int tab = 0; tab < form.PageControl1->count(); ++tab) {
    form.PageControl1->setCurrentIndex(tab);
    QTest::qWait(400);
    const QString file =
        folder.filePath(QStringLiteral("tab-%1.png").arg(tab + 1, 2, 10, QChar('0')));
    const int status =
        QProcess::execute("import", {"-window", "root", "-crop", crop, "+repage", file});
    if (status != 0) return 1;
    std::printf("%s\n", qPrintable(file));
  }
  return 0;
}
