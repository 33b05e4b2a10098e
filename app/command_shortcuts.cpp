#include "app/command_shortcuts.h"

#include <QShortcut>
#include <QToolButton>

#include "app/Unit1.h"

namespace qvx {

namespace {

// A click rather than the handler itself: the key does exactly what the
// button does, and nothing while the button could not be clicked.
void ClickOnKey(TForm1& form, QKeyCombination key, QToolButton* button) {
  auto* shortcut = new QShortcut(QKeySequence(key), &form);
  QObject::connect(shortcut, &QShortcut::activated, button, &QToolButton::click);
}

}  // namespace

void AddCommandShortcuts(TForm1& form) {
  ClickOnKey(form, Qt::CTRL | Qt::Key_O, form.N2);
  ClickOnKey(form, Qt::CTRL | Qt::Key_S, form.N3);
}

}  // namespace qvx
