// The fonts the windows ask for. The designed faces are Windows fonts; on
// other systems the installed metric-compatible face comes first, so that a
// font look-up finds it at once instead of trying every missing family.
#pragma once

#include <QFont>
#include <QString>

namespace qvx {

// The window font at that character height in pixels.
QFont WindowFont(int pixel_size);

// The about window's font: the window font's families at that point size.
QFont WindowFontInPoints(int point_size);

// The greeting page's display font at that character height in pixels.
QFont DisplayFont(int pixel_size);

}  // namespace qvx
