#include "app/application.h"

#include <exception>

#include "app/message_boxes.h"

namespace qvx {

QuorvexApplication::QuorvexApplication(int& argc, char** argv)
    : QApplication(argc, argv), display_(ShowErrorText) {
  setApplicationName("Quorvex");
  setApplicationVersion("1.0.6.6");
  setOrganizationName("Quorvex");
}

bool QuorvexApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    display_(error.what());
  } catch (...) {
    // Nothing to show in the dialog: the console at least learns where.
    const QString handler =
        receiver ? QStringLiteral("%1 \"%2\"")
                       .arg(receiver->metaObject()->className(), receiver->objectName())
                 : QStringLiteral("no object");
    qCritical("quorvex: an error that is no exception escaped the handler of %s for event %d",
              qPrintable(handler), event ? static_cast<int>(event->type()) : -1);
    display_("");
  }
  return false;
}

void ShowErrorText(const std::string& text) {
  QtMessageBoxes().ShowStandard(text);
}

}  // namespace qvx
