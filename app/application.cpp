#include "app/application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "app/message_boxes.h"

namespace qvx {

QuorvexApplication::QuorvexApplication(int& argc, char** argv)
    : QApplication(argc, argv), display_(ShowErrorText) {
  setApplicationName("Quorvex");
  setApplicationVersion(QUORVEX_VERSION);
  setOrganizationName("Quorvex");
  // Qt's own texts (file dialogs, context menus, standard buttons) in the
  // window's language. Without the translation file they stay in English.
  auto* qt_texts = new QTranslator(this);
  if (qt_texts->load(QLocale(QLocale::Russian, QLocale::Russia), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(qt_texts);
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
