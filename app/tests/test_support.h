// Shared pieces of the window tests: the offscreen main and recorders that
// stand in for the message boxes.
#pragma once

#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/file_dialog.h"
#include "app/message_boxes.h"
#include "tests/support/recorded_messages.h"

namespace qvx::test {

// Outcomes of the device commands as the user sees them.
inline const Message kSent{"Данные успешно отправлены", "Данные успешно отправлены"};
inline const Message kReceived{"Данные успешно получены", "Данные успешно получены"};
inline const Message kNoData{"Не удалось получить данные", "Ошибка "};
inline const Message kWriteBroken{"Ошибка записи в порт", "Ошибка "};
inline const Message kCannotOpen{"Error 1: Не могу открыть указанный Com порт!", "Quorvex"};

// The window's boxes recorded into `log` in the order they came: messages,
// questions (answered with `answer`) and the standard dialog, titled
// "Quorvex".
class RecordedMessages : public MessageRecorder<MessageBoxes> {
 public:
  explicit RecordedMessages(std::vector<Message>* log, bool answer = true) : MessageRecorder(log) {
    this->answer = answer;
  }
  void ShowStandard(const std::string& text) override { Record({text, "Quorvex"}); }
};

// A file dialog that answers with the given names, one per use.
class ScriptedDialog : public FileDialog {
 public:
  explicit ScriptedDialog(std::vector<std::optional<std::string>> answers)
      : answers_(std::move(answers)) {}
  std::optional<std::string> Execute() override {
    ++uses;
    if (answers_.empty()) return std::nullopt;
    auto answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  }
  int uses = 0;

 private:
  std::vector<std::optional<std::string>> answers_;
};

// Calls `action` from inside a running read loop as soon as `ready` holds
// (polled by a timer, so only while events run).
inline void WhenInsideReadLoop(std::function<bool()> ready, std::function<void()> action) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, ready, action] {
    if (!ready()) return;
    poll->stop();
    poll->deleteLater();
    action();
  });
  poll->start(20);
}

// A new main window for every test function of a window test class, its
// messages recorded; call these from the class's init() and cleanup().
class WindowFixture {
 protected:
  // The window on the computer's serial ports; shown when asked, and then
  // only returning once it is on screen.
  void OpenWindow(bool shown = false) {
    form_ = std::make_unique<TForm1>();
    messages_.clear();
    form_->SetMessageBoxes(std::make_unique<RecordedMessages>(&messages_));
    if (!shown) return;
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }
  // Ends the window; no window may be left behind.
  void CloseWindow() {
    form_.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  std::unique_ptr<TForm1> form_;
  std::vector<Message> messages_;
};

// Runs a Qt Test class on the offscreen platform with the application object
// of the program; for a main that has more to do first.
template <class TestClass>
int RunWindowTest(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QuorvexApplication application(argc, argv);
  TestClass test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace qvx::test

#define QVX_TEST_MAIN(TestClass)                            \
  int main(int argc, char** argv) {                         \
    return qvx::test::RunWindowTest<TestClass>(argc, argv); \
  }
