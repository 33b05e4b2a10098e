// How the window reports outcomes to the user. The window shows modal boxes;
// tests put a recorder in its place.
#pragma once

#include <string>

#include "config_file/file_commands.h"

namespace qvx {

// Show(text, title): modal box with one OK button, no icon, no owner.
// AskYesNo(text, title): modal question with Yes and No; true for Yes.
class MessageBoxes : public CommandMessages {
 public:
  // The application's standard dialog: one OK button, titled with the
  // application title ("Quorvex").
  virtual void ShowStandard(const std::string& text) = 0;
};

// The real boxes, built on QMessageBox.
class QtMessageBoxes : public MessageBoxes {
 public:
  void Show(const std::string& text, const std::string& title) override;
  void ShowStandard(const std::string& text) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
};

}  // namespace qvx
