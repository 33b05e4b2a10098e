// Fitting text into the window's fixed layout whatever font the desktop
// gives: where a text would not fit its place, its font is made smaller,
// never the place larger and never the text shorter.
#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QLabel;
class QTabBar;
class QWidget;

namespace qvx {

// The smallest character height, in pixels, a fitted text is given.
inline constexpr int kSmallestFittedPixels = 9;

// Makes the tab bar's font smaller until every tab fits into width side by
// side; the bar never shows scroll arrows.
void FitTabsIntoWidth(QTabBar* tabs, int width);

// Makes the font of page and its contents smaller until the page's layout
// fits into room.
void FitPageIntoRoom(QWidget* page, QSize room);

// Makes label's font smaller until its one line fits into width.
void FitLabelIntoWidth(QLabel* label, int width);

// The widest rectangle of the picture's proportions (width : height) that
// lies in the bottom right corner of box and overlaps none of the texts;
// an empty rectangle when not even a tenth of the box's width is free.
QRect PictureClearOfTexts(const QRect& box, QSize proportions, const std::vector<QRect>& texts);

}  // namespace qvx
