#include "app/russian_file_columns.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QLocale>
#include <QTreeView>
#include <algorithm>

namespace qvx {

namespace {

enum Column { kName, kSize, kType, kModified };

// Qt's Russian names every count of bytes "байты"; Russian says "1 байт",
// "2 байта", "260 байт". Larger sizes as Windows shows them: "1,3 кБ".
QString SizeText(qint64 bytes, const QLocale& russian) {
  if (bytes >= 1024) return russian.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
  const qint64 units = bytes % 10;
  const qint64 tens = bytes % 100;
  const bool few = units >= 2 && units <= 4 && (tens < 12 || tens > 14);
  return russian.toString(bytes) + (few ? " байта" : " байт");
}

}  // namespace

QVariant RussianFileColumns::data(const QModelIndex& index, int role) const {
  const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
  if (role != Qt::DisplayRole || files == nullptr || !index.isValid())
    return QIdentityProxyModel::data(index, role);
  const QModelIndex source = mapToSource(index);
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  switch (index.column()) {
    case kSize:
      if (files->isDir(source)) break;
      return SizeText(files->size(source), russian);
    case kType:
      if (files->isDir(source)) return QStringLiteral("Папка");
      break;
    case kModified:
      return russian.toString(files->lastModified(source), QLocale::ShortFormat);
    default:
      break;
  }
  return QIdentityProxyModel::data(index, role);
}

void UseRussianFileColumns(QFileDialog& dialog) {
  // Qt builds its own dialog's views at once when the desktop offers no
  // native one; a native dialog has none and follows the desktop's settings.
  auto* view = dialog.findChild<QTreeView*>("treeView");
  if (view == nullptr) return;
  dialog.setProxyModel(new RussianFileColumns(&dialog));
  // Every column as wide as its longest text, the name too: the dialog
  // scrolls sideways rather than cut a name, a size or a date.
  for (int column : {kName, kSize, kType, kModified})
    view->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  // The side bar wide enough for its places' names ("Компьютер").
  if (auto* places = dialog.findChild<QListView*>("sidebar"); places && places->model()) {
    int widest = 0;
    for (int row = 0; row < places->model()->rowCount(); ++row)
      widest = std::max(widest, places->sizeHintForIndex(places->model()->index(row, 0)).width());
    places->setMinimumWidth(widest + 2 * places->frameWidth() + 2 * places->spacing() + 8);
  }
}

}  // namespace qvx
