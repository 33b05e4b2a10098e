#include "app/title_width.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>
#include <algorithm>

namespace qvx {

int TitleWidth(const QString& title, const QWidget& window) {
  QFont font = window.font();
  font.setBold(true);
  const QFontMetrics metrics(font);
  // Title bars are at least as tall as their text with some padding; their
  // buttons are about square.
  const int bar = std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window),
                           metrics.height() + 8);
  return metrics.horizontalAdvance(title) + kTitleBarButtonsMargin * bar;
}

void FitTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) {
    box.setMinimumWidth(TitleWidth(box.windowTitle(), box));
    return;
  }
  // The layout's margins count towards the box's width too.
  const QMargins margins = grid->contentsMargins();
  const int inner = TitleWidth(box.windowTitle(), box) - margins.left() - margins.right();
  grid->addItem(new QSpacerItem(std::max(inner, 0), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace qvx
