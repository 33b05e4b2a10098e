#include "cli/qt_messages.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstring>

namespace qvx::cli {
namespace {

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
  const char* category = context.category != nullptr ? context.category : "default";
  std::fprintf(
      stderr, "quorvex-cli: %s%s%s\n", std::strcmp(category, "default") == 0 ? "" : category,
      std::strcmp(category, "default") == 0 ? "" : ": ", message.toLocal8Bit().constData());
}

}  // namespace

void RouteQtMessages() {
  qInstallMessageHandler(Handle);
}

}  // namespace qvx::cli
