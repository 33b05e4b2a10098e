// Shared pieces of the window tests: the offscreen main and recorders that
// stand in for the message boxes.
#pragma once

#include <QtTest>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/message_boxes.h"

namespace qvx::test {

struct Message {
  std::string text;
  std::string title;  // "Quorvex" for the standard dialog
  bool operator==(const Message&) const = default;
};

// Records every message instead of showing it; AskYesNo answers `answer`.
class RecordedMessages : public MessageBoxes {
 public:
  explicit RecordedMessages(std::vector<Message>* log, bool answer = true)
      : log_(log), answer_(answer) {}
  void Show(const std::string& text, const std::string& title) override {
    log_->push_back({text, title});
  }
  void ShowStandard(const std::string& text) override { log_->push_back({text, "Quorvex"}); }
  bool AskYesNo(const std::string& text, const std::string& title) override {
    log_->push_back({text, title});
    return answer_;
  }

 private:
  std::vector<Message>* log_;
  bool answer_;
};

}  // namespace qvx::test

// Runs a Qt Test class on the offscreen platform with the application object
// of the program.
#define QVX_TEST_MAIN(TestClass)                     \
  int main(int argc, char** argv) {                  \
    qputenv("QT_QPA_PLATFORM", "offscreen");         \
    qvx::QuorvexApplication application(argc, argv); \
    TestClass test;                                  \
    return QTest::qExec(&test, argc, argv);          \
  }
