// Dialogs wide enough for their titles. A window manager cuts a title that
// does not fit beside its title bar's buttons ("О...ка" for "Ошибка"), and a
// message box with a short text is narrower than that.
#pragma once

class QMessageBox;
class QString;
class QWidget;

namespace qvx {

// The least width at which `title` shows whole in a title bar: its text in
// the bold face of `window`'s font, plus kTitleBarButtonsMargin title bar
// heights for the window icon, the three buttons and the gaps between them.
int TitleWidth(const QString& title, const QWidget& window);
inline constexpr int kTitleBarButtonsMargin = 6;

// Keeps `box` at least TitleWidth of its title wide. QMessageBox sets its
// own fixed size when shown, from its layout: the width goes in as a spacer.
void FitTitle(QMessageBox& box);

}  // namespace qvx
