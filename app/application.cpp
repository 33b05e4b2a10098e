#include "app/application.h"

#include <exception>

#include "app/message_boxes.h"

namespace qvx {

QuorvexApplication::QuorvexApplication(int& argc, char** argv)
    : QApplication(argc, argv), display_(ShowErrorText) {
  setApplicationName("Quorvex");
  setApplicationVersion(QUORVEX_VERSION);
  setOrganizationName("Quorvex");
}

bool QuorvexApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    display_(error.what());
  } catch (...) {
    display_("");
  }
  return false;
}

void ShowErrorText(const std::string& text) {
  QtMessageBoxes().ShowStandard(text);
}

}  // namespace qvx
