// The start-up reference: the least a Qt Widgets program of the main
// window's size needs to show a page control of eleven pages of labels.
// Measured with the same first-paint probe as the configurator.
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

#include "app/startup_probe.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setFixedSize(1017, 608);
  auto* pages = new QTabWidget(&window);
  pages->setGeometry(120, 0, 881, 569);
  for (int i = 1; i <= 11; ++i) {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    for (int line = 1; line <= 8; ++line)
      column->addWidget(new QLabel(QStringLiteral("Page %1, line %2").arg(i).arg(line)));
    column->addStretch();
    pages->addTab(page, QStringLiteral("Page %1").arg(i));
  }
  qvx::WatchFirstPaint(window);
  window.show();
  return application.exec();
}
