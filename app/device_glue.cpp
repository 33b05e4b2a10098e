#include "app/device_glue.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "app/Unit1.h"
#include "app/qt_text.h"
#include "config_file/cp1251.h"
#include "device/pacing.h"
#include "device/port_causes.h"

namespace qvx {

void WindowLinkHost::AppendLog(const std::string& line) {
  form_.Memo1->appendPlainText(Q(line));
}

void WindowLinkHost::ShowMessage(const std::string& text, const std::string& title,
                                 device::MessageKind /*kind*/) {
  form_.Messages().Show(text, title);
}

void WindowLinkHost::ShowPortError(const std::string& text) {
  std::string shown = text;
  if (!form_.PortHandle().IsOpen())  // Error 2 to 4 hold the port and have no cause
    for (const std::string& line :
         device::PortFailureLines(form_.Link().PortName, form_.PortHandle().LastFailure()))
      shown += "\n" + line;
  form_.Messages().ShowStandard(shown);
}

void WindowLinkHost::ProcessEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WindowLinkHost::Pause(int milliseconds) {
  device::SleepAtLeast(milliseconds);
}

void WindowCommandView::MarkTextField(std::string_view field, device::FieldMark mark) {
  if (mark == device::FieldMark::Unchanged) return;
  QLineEdit* edit = form_.Controls().Edit(field);
  QPalette colours = edit->palette();
  colours.setColor(QPalette::Base,
                   mark == device::FieldMark::Red ? QColor(255, 0, 0) : QColor(255, 255, 255));
  edit->setPalette(colours);
}

void WindowCommandView::ShowSubscriberTab() {
  form_.PageControl1->setCurrentWidget(form_.TabSheet11);
}

void WindowCommandView::SetWriteButtonVisible(bool visible) {
  form_.BitBtn2->setVisible(visible);
  form_.repaint(form_.BitBtn2->geometry().united(form_.Image2->geometry()));
}

void WindowCommandView::SetReadButtonVisible(bool visible) {
  form_.BitBtn1->setVisible(visible);
}

void WindowCommandView::StartReceptionTimer(int due_in_ms) {
  form_.Timer1->start(due_in_ms);
}

void WindowCommandView::StopReceptionTimer() {
  form_.Timer1->stop();
}

std::string ConsoleBytes(const QString& text) {
  std::string bytes;
  for (char32_t code : text.toUcs4()) {
    const std::string character = U(QString::fromUcs4(&code, 1));
    bytes += Utf8ToCp1251(character).value_or("?");
  }
  return bytes;
}

}  // namespace qvx
