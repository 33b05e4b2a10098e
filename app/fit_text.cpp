#include "app/fit_text.h"

#include <QFontInfo>
#include <QLabel>
#include <QLayout>
#include <QProxyStyle>
#include <QTabBar>
#include <QWidget>
#include <functional>

namespace qvx {

namespace {

// Steps the widget's font down a pixel at a time until fits() holds or the
// smallest height is reached.
void ShrinkFontUntil(QWidget* widget, const std::function<bool()>& fits) {
  QFont font = widget->font();
  int pixels = QFontInfo(font).pixelSize();
  while (!fits() && pixels > kSmallestFittedPixels) {
    font.setPixelSize(--pixels);
    widget->setFont(font);
  }
}

// The platform's tab look with a chosen blank space beside each caption.
class TabSpaceStyle : public QProxyStyle {
 public:
  int space = 6;

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_TabBarTabHSpace) return space;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

void InvalidateLayouts(QWidget* root) {
  for (QLayout* layout : root->findChildren<QLayout*>()) layout->invalidate();
  if (root->layout() != nullptr) root->layout()->invalidate();
}

}  // namespace

void FitTabsIntoWidth(QTabBar* tabs, int width) {
  auto* style = new TabSpaceStyle;
  style->setParent(tabs);
  tabs->setStyle(style);
  tabs->setUsesScrollButtons(false);
  // Less blank beside the captions first, then a smaller font.
  ShrinkFontUntil(tabs, [&] {
    for (int space : {6, 4, 2}) {
      style->space = space;
      tabs->setElideMode(Qt::ElideNone);  // lays the tabs out anew
      if (tabs->sizeHint().width() <= width) return true;
    }
    return false;
  });
}

void FitPageIntoRoom(QWidget* page, QSize room) {
  if (page->layout() == nullptr) return;
  ShrinkFontUntil(page, [&] {
    InvalidateLayouts(page);
    const QSize needed = page->layout()->totalMinimumSize();
    return needed.width() <= room.width() && needed.height() <= room.height();
  });
}

void FitLabelIntoWidth(QLabel* label, int width) {
  ShrinkFontUntil(label, [&] { return label->sizeHint().width() <= width; });
}

QRect PictureClearOfTexts(const QRect& box, QSize proportions, const std::vector<QRect>& texts) {
  if (proportions.isEmpty()) return {};
  for (int width = box.width(); width >= box.width() / 10; --width) {
    const int height = width * proportions.height() / proportions.width();
    if (height > box.height()) continue;
    const QRect place(box.right() + 1 - width, box.bottom() + 1 - height, width, height);
    bool clear = true;
    for (const QRect& text : texts) clear = clear && !text.intersects(place);
    if (clear) return place;
  }
  return {};
}

}  // namespace qvx
