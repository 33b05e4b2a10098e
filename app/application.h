// The application object: Qt's own texts in Russian where the translation
// is installed; an error that escapes an event handler is shown
// with its text and the application goes on running.
#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace qvx {

class QuorvexApplication : public QApplication {
 public:
  QuorvexApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Where escaped errors go; a message box with the error's text by default.
  void SetErrorDisplay(std::function<void(const std::string&)> display) {
    display_ = std::move(display);
  }

 private:
  std::function<void(const std::string&)> display_;
};

// The default error display: the text in the application's standard dialog.
void ShowErrorText(const std::string& text);

}  // namespace qvx
