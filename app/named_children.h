// Every named descendant of an object, indexed in one pass. Looking each of
// the window's few hundred controls up with findChild walks the whole widget
// tree once per name.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <string_view>

#include "app/qt_text.h"

namespace qvx {

class NamedChildren {
 public:
  // Indexes root's descendants as they are now; root must outlive this.
  explicit NamedChildren(const QObject& root) : root_(root) {
    for (QObject* child : root.findChildren<QObject*>())
      if (!child->objectName().isEmpty()) by_name_.insert(child->objectName(), child);
  }

  // The descendant of that name and type, as root.findChild finds it;
  // nullptr when there is none.
  template <typename Widget>
  Widget* Find(std::string_view name) const {
    const QString key = Q(name);
    const auto count = by_name_.count(key);
    if (count == 0) return nullptr;
    if (count == 1) return qobject_cast<Widget*>(by_name_.value(key));
    return root_.findChild<Widget*>(key);  // a name used twice: findChild's choice
  }

 private:
  const QObject& root_;
  QMultiHash<QString, QObject*> by_name_;
};

}  // namespace qvx
