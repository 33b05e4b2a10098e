#include "app/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "app/qt_text.h"
#include "app/title_width.h"

namespace qvx {

void QtMessageBoxes::Show(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon, Q(title), Q(text), QMessageBox::Ok);
  FitTitle(box);
  box.exec();
}

void QtMessageBoxes::ShowStandard(const std::string& text) {
  Show(text, U(QApplication::applicationName()));
}

bool QtMessageBoxes::AskYesNo(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No);
  box.setDefaultButton(QMessageBox::No);
  FitTitle(box);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace qvx
