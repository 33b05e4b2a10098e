#include "app/file_dialog.h"

#include <QFileDialog>
#include <QLocale>

#include "app/qt_text.h"
#include "app/russian_file_columns.h"
#include "app/window_fonts.h"

namespace qvx {

std::optional<std::string> QtFileDialog::Execute() {
  QFileDialog dialog;
  dialog.setObjectName(mode_ == Mode::Open ? "OpenDialog1" : "SaveDialog1");
  dialog.setNameFilters({"*.qvx", "*.*"});
  dialog.setOption(QFileDialog::DontUseNativeDialog, !native_);
  // Qt's own dialog in the window's language and font, whatever the
  // machine's locale.
  dialog.setFont(WindowFont(13));
  dialog.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
  UseRussianFileColumns(dialog);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (mode_ == Mode::Open) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The open command checks the name itself, so any name is taken.
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  }
  if (!last_name_.isEmpty()) dialog.selectFile(last_name_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  last_name_ = chosen.isEmpty() ? QString() : chosen.first();
  return U(last_name_);
}

}  // namespace qvx
