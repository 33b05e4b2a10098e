// Work that waits until a widget is first shown: a hidden page need not be
// measured before the window's first paint.
#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <functional>
#include <utility>

namespace qvx {

// Runs `work` once, when `widget` is first shown (before it is painted);
// never when it is not.
inline void WhenFirstShown(QWidget* widget, std::function<void()> work) {
  class Watch : public QObject {
   public:
    Watch(QWidget* widget, std::function<void()> work) : QObject(widget), work_(std::move(work)) {
      widget->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Show && work_) {
        watched->removeEventFilter(this);
        std::exchange(work_, nullptr)();
        deleteLater();
      }
      return false;
    }

   private:
    std::function<void()> work_;
  };
  new Watch(widget, std::move(work));
}

}  // namespace qvx
