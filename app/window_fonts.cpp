#include "app/window_fonts.h"

#include <QStringList>

namespace qvx {

namespace {

// Liberation Sans is installed with the program; the Windows faces follow for
// a Windows desktop. Any other desktop falls back to its own sans serif.
QStringList WindowFamilies() {
  return {"Liberation Sans", "MS Sans Serif", "Microsoft Sans Serif", "Arial"};
}

QFont SansSerif(const QStringList& families) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace

QFont WindowFont(int pixel_size) {
  QFont font = SansSerif(WindowFamilies());
  font.setPixelSize(pixel_size);
  return font;
}

QFont WindowFontInPoints(int point_size) {
  QFont font = SansSerif(WindowFamilies());
  font.setPointSize(point_size);
  return font;
}

QFont DisplayFont(int pixel_size) {
  QFont font = SansSerif(QStringList{"MS Reference Specialty"} + WindowFamilies());
  font.setPixelSize(pixel_size);
  return font;
}

}  // namespace qvx
