#include "app/pictures.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include "app/drawn_pictures.h"

namespace qvx {
namespace {

QStringList& Missing() {
  static QStringList missing;
  return missing;
}

}  // namespace

QPixmap Picture(const QString& name, QSize size) {
  // The sizes the windows use were drawn when the program was built.
  for (const DrawnPicture& drawn : DrawnPictures()) {
    if (name != QLatin1String(drawn.name) || size != QSize(drawn.width, drawn.height)) continue;
    const QImage image(drawn.pixels, drawn.width, drawn.height,
                       QImage::Format_ARGB32_Premultiplied);
    return QPixmap::fromImage(image);
  }
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
