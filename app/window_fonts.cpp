#include "app/window_fonts.h"

#include <QStringList>

namespace qvx {

namespace {

// Liberation Sans is installed with the program; the Windows faces follow for
// a Windows desktop. Any other desktop falls back to its own sans serif.
QStringList WindowFamilies() {
  return {"Liberation Sans", "MS Sans Serif", "Microsoft Sans Serif", "Arial"};
}

}  // namespace

QFont WindowFont(int pixel_size) {
  QFont font;
  font.setFamilies(WindowFamilies());
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixel_size);
  return font;
}

QFont WindowFontInPoints(int point_size) {
  QFont font;
  font.setFamilies(WindowFamilies());
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(point_size);
  return font;
}

QFont DisplayFont(int pixel_size) {
  QFont font;
  font.setFamilies(QStringList{"MS Reference Specialty"} + WindowFamilies());
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixel_size);
  return font;
}

}  // namespace qvx
