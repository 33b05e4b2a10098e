// The open and save file dialogs of the window, behind an interface so the
// tests can answer them.
#pragma once

#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace qvx {

class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // Shows the dialog; the confirmed file name (UTF-8), or nullopt when cancelled.
  virtual std::optional<std::string> Execute() = 0;
};

// QFileDialog with the filter entries "*.qvx" and "*.*". It remembers the
// name last confirmed and offers it on the next use; empty at first.
class QtFileDialog : public FileDialog {
 public:
  enum class Mode { Open, Save };
  explicit QtFileDialog(Mode mode) : mode_(mode) {}

  std::optional<std::string> Execute() override;

  const QString& LastName() const { return last_name_; }
  // Tests use Qt's own dialog so they can fill it in.
  void SetNative(bool native) { native_ = native; }

 private:
  Mode mode_;
  QString last_name_;
  bool native_ = true;
};

}  // namespace qvx
