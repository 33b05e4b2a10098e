// The team's pictures (SVG resources) rendered for the widgets.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace qvx {

// The picture of that name ("open", "logo", ...) rendered at size; a
// transparent pixmap of that size when the resource is missing.
QPixmap Picture(const QString& name, QSize size);

// The application icon in 64, 32, 24 and 16 pixels.
QIcon ApplicationIcon();

}  // namespace qvx
