// The team's pictures (SVG resources) rendered for the widgets.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace qvx {

// The picture of that name ("open", "logo", ...) rendered at size. A picture
// missing from the resources is an error of the build: it is logged, kept in
// MissingPictures() for the tests, and drawn as a transparent pixmap so the
// window still works.
QPixmap Picture(const QString& name, QSize size);

// Names asked of Picture that the resources lack, in the order asked.
QStringList MissingPictures();

// The application icon in 64, 32, 24 and 16 pixels.
QIcon ApplicationIcon();

}  // namespace qvx
