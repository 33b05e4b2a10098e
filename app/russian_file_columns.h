// The file dialog's columns in Russian whatever the machine's locale: Qt's
// file model formats sizes and dates by the system's locale and names
// folders in English ("260 bytes", "Folder", "12/9/26 2:45 PM").
#pragma once

#include <QIdentityProxyModel>

class QFileDialog;

namespace qvx {

// Over the dialog's QFileSystemModel: sizes as "260 байт" or "1,3 кБ",
// modification times as "09.12.2026 14:45", folders typed "Папка". Every
// other text, and sorting, come from the file model unchanged.
class RussianFileColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant data(const QModelIndex& index, int role) const override;
};

// Puts RussianFileColumns into `dialog` (which owns it) and sizes the
// columns of its detail view, and its side bar of places, to their contents. Call before the dialog
// is shown. Nothing for a native dialog.
void UseRussianFileColumns(QFileDialog& dialog);

}  // namespace qvx
