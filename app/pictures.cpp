#include "app/pictures.h"

#include <QPainter>
#include <QSvgRenderer>

namespace qvx {

QPixmap Picture(const QString& name, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(QStringLiteral(":/images/%1.svg").arg(name));
  if (renderer.isValid()) {
    QPainter painter(&pixmap);
    renderer.render(&painter);
  }
  return pixmap;
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int side : {64, 32, 24, 16}) icon.addPixmap(Picture("icon", QSize(side, side)));
  return icon;
}

}  // namespace qvx
