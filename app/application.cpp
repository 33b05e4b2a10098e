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
  // window's language, and its formats (file types, sizes) too, whatever the
  // machine's locale. Without the translation file the texts stay in English.
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
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
