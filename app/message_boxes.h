// How the window reports outcomes to the user. The window shows modal boxes;
// tests put a recorder in its place.
#pragma once

#include <string>

namespace qvx {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Modal box with the text and title, one OK button, no icon, no owner.
  virtual void Show(const std::string& text, const std::string& title) = 0;
  // The application's standard dialog: one OK button, titled with the
  // application title ("Quorvex").
  virtual void ShowStandard(const std::string& text) = 0;
  // Modal question with Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
};

// The real boxes, built on QMessageBox.
class QtMessageBoxes : public MessageBoxes {
 public:
  void Show(const std::string& text, const std::string& title) override;
  void ShowStandard(const std::string& text) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
};

}  // namespace qvx
