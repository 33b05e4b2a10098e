#include "app/startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace qvx {
namespace {

class FirstPaintWatch : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      // Queued: it runs once the whole window has been painted and flushed.
      QTimer::singleShot(0, this, &FirstPaintWatch::Report);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void Report() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::printf("first-paint %lld\n",
                static_cast<long long>(std::chrono::nanoseconds(now).count()));
    std::fflush(stdout);
    QCoreApplication::quit();
  }

  bool seen_ = false;
};

}  // namespace

void WatchFirstPaint(QWidget& window) {
  if (qEnvironmentVariableIsEmpty(kStartupProbeVariable)) return;
  window.installEventFilter(new FirstPaintWatch(&window));
}

}  // namespace qvx
