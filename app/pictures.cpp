#include "app/pictures.h"

#include <QPainter>
#include <QSvgRenderer>

namespace qvx {
namespace {

QStringList& Missing() {
  static QStringList missing;
  return missing;
}

}  // namespace

QPixmap Picture(const QString& name, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(QStringLiteral(":/images/%1.svg").arg(name));
  if (!renderer.isValid()) {
    qCritical("quorvex: the picture \"%s\" is missing from the resources", qPrintable(name));
    Missing().append(name);
    return pixmap;
  }
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

QStringList MissingPictures() {
  return Missing();
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int side : {64, 32, 24, 16}) icon.addPixmap(Picture("icon", QSize(side, side)));
  return icon;
}

}  // namespace qvx
