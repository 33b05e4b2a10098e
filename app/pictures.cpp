#include "app/pictures.h"

#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace qvx {

QPixmap Picture(const QString& name, QSize size) {
  // Each picture is drawn once at each size it is shown at, and kept.
  const QString key = QStringLiteral("qvx:%1@%2x%3").arg(name).arg(size.width()).arg(size.height());
  QPixmap pixmap;
  if (QPixmapCache::find(key, &pixmap)) return pixmap;
  pixmap = QPixmap(size);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(QStringLiteral(":/images/%1.svg").arg(name));
  if (renderer.isValid()) {
    QPainter painter(&pixmap);
    renderer.render(&painter);
  }
  QPixmapCache::insert(key, pixmap);
  return pixmap;
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int side : {64, 32, 24, 16}) icon.addPixmap(Picture("icon", QSize(side, side)));
  return icon;
}

}  // namespace qvx
