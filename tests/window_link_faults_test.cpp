// Faults of the line and of the device, met through the window's own
// handlers: a line that hangs up, a flood of noise, a doubled or a late
// answer, a port that went away and a port another program holds. In every
// case the settings controls change only when a read succeeds.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <chrono>
#include <string>

#include "app/Unit1.h"
#include "app/tests/test_support.h"
#include "device/pty_test_support.h"
#include "device/qt_serial_port.h"
#include "settings/catalogue.h"
#include "settings/memory_settings.h"
#include "sim/pty_device.h"

using namespace std::chrono_literals;
using qvx::test::Message;
using qvx::test::RecordedMessages;
using qvx::test::WhenInsideReadLoop;

namespace {

const Message kSent{"Данные успешно отправлены", "Данные успешно отправлены"};
const Message kReceived{"Данные успешно получены", "Данные успешно получены"};
const Message kNoData{"Не удалось получить данные", "Ошибка "};
const Message kWriteBroken{"Ошибка записи в порт", "Ошибка "};
const Message kCannotOpen{"Error 1: Не могу открыть указанный Com порт!", "Quorvex"};

const std::string kDeviceSubscriber = "+491511234567";

// Every setting as "name=value", in catalogue order.
std::vector<std::string> Snapshot(const qvx::Settings& settings) {
  std::vector<std::string> values;
  for (const qvx::SettingInfo& setting : qvx::Catalogue()) {
    const std::string value = setting.kind == qvx::SettingKind::Text
                                  ? settings.Text(setting.name)
                                  : std::to_string(qvx::ReadValue(settings, setting));
    values.push_back(std::string(setting.name) + "=" + value);
  }
  return values;
}

// What the device holds: apart from the window's defaults in every kind of setting.
qvx::MemorySettings DeviceSettings() {
  qvx::MemorySettings settings;
  settings.SetListIndex("ComboBox11", 6);
  settings.SetListIndex("ComboBox10106", 8);
  settings.SetSliderPosition("TrackBar2", 42);
  settings.SetSliderPosition("TrackBar1", -7);
  settings.SetRadioNumber("Set13.1", 2);
  settings.SetText("Edit19", kDeviceSubscriber);
  return settings;
}

// The same device after someone changed it again.
qvx::MemorySettings ChangedDeviceSettings() {
  qvx::MemorySettings settings = DeviceSettings();
  settings.SetListIndex("ComboBox11", 3);
  settings.SetText("Edit30", "8080");
  return settings;
}

int LogCount(const QPlainTextEdit* memo, const QString& line) {
  return memo->toPlainText().split('\n').count(line);
}

}  // namespace

class WindowLinkFaultsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void writeCutByAHangUpIsReportedAndTheReturningDeviceTakesTheNextWrite();
  void hangUpDuringTheReceptionWindowEndsTheRead_data();
  void hangUpDuringTheReceptionWindowEndsTheRead();
  void noiseFloodLeavesTheWindowResponsiveAndEndsWithoutData();
  void answerSentTwiceIsTakenOverOnce();
  void lateAnswerIsNoDataAndDoesNotPassForTheNextReadsAnswer();
  void portRemovedBetweenCommandsShowsAnErrorAndChangesNothing_data();
  void portRemovedBetweenCommandsShowsAnErrorAndChangesNothing();
  void portHeldByAnotherProgramIsReported_data();
  void portHeldByAnotherProgramIsReported();

 private:
  // A new simulated device with these options, typed into ComboBox1.
  void StartDevice(qvx::sim::SimOptions options);
  void Click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  std::unique_ptr<qvx::sim::PtyDevice> device_;
  std::unique_ptr<TForm1> form_;
  std::vector<Message> messages_;
  std::vector<std::string> defaults_;  // the window's settings before each case
  std::atomic<std::size_t> device_sent_{0};
};

void WindowLinkFaultsTest::init() {
  form_ = std::make_unique<TForm1>(std::make_unique<qvx::device::QtSerialPort>());
  messages_.clear();
  form_->SetMessageBoxes(std::make_unique<RecordedMessages>(&messages_));
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  defaults_ = Snapshot(form_->Settings());
  QVERIFY(defaults_ != Snapshot(DeviceSettings()));
}

void WindowLinkFaultsTest::cleanup() {
  form_.reset();
  device_.reset();
  QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void WindowLinkFaultsTest::StartDevice(qvx::sim::SimOptions options) {
  device_.reset();
  device_sent_ = 0;
  device_ = std::make_unique<qvx::sim::PtyDevice>(DeviceSettings(), options,
                                                  [this](const qvx::sim::LogEntry& entry) {
                                                    if (entry.kind == qvx::sim::LogEntry::Kind::Out)
                                                      ++device_sent_;
                                                  });
  form_->ComboBox1->setEditText(QString::fromStdString(device_->Path()));
}

void WindowLinkFaultsTest::writeCutByAHangUpIsReportedAndTheReturningDeviceTakesTheNextWrite() {
  // The frame has 288 bytes, each followed by a pause: the line drops long
  // before the last one.
  StartDevice({.hangup_after = 40});
  Click(form_->BitBtn2);

  QCOMPARE(messages_, std::vector<Message>{kWriteBroken});
  QVERIFY(form_->BitBtn2->isVisible());
  QCOMPARE(LogCount(form_->Memo1, "Ошибка в WriteFile"), 1);
  QVERIFY(device_->HungUp());
  QCOMPARE(device_->FramesStored(), 0);
  QCOMPARE(Snapshot(form_->Settings()), defaults_);

  // The device comes back on a port of its own; the user types its name.
  StartDevice({});
  messages_.clear();
  Click(form_->BitBtn2);
  QCOMPARE(messages_, std::vector<Message>{kSent});
  QVERIFY(device_->WaitForFrames(1, 10s));
  QCOMPARE(device_->FramesStored(), 1);
  QCOMPARE(Snapshot(device_->Settings()), defaults_);
  QCOMPARE(Snapshot(form_->Settings()), defaults_);
}

void WindowLinkFaultsTest::hangUpDuringTheReceptionWindowEndsTheRead_data() {
  QTest::addColumn<bool>("midReply");
  QTest::newRow("as the request arrives") << false;
  QTest::newRow("in the middle of the reply") << true;
}

void WindowLinkFaultsTest::hangUpDuringTheReceptionWindowEndsTheRead() {
  QFETCH(bool, midReply);
  // Byte by byte the whole reply would still come well within the window.
  StartDevice(midReply ? qvx::sim::SimOptions{.trickle = 5ms}
                       : qvx::sim::SimOptions{.hangup_after = 4});
  bool reply_was_partial = !midReply;
  if (midReply)
    WhenInsideReadLoop([&] { return !form_->Link().ReceiveBuffer.empty(); },
                       [&] {
                         reply_was_partial =
                             form_->Link().ReceiveBuffer.find(":#") == std::string::npos;
                         device_->HangUp();
                       });
  Click(form_->BitBtn1);

  QVERIFY(reply_was_partial);
  QVERIFY(device_->HungUp());
  QCOMPARE(messages_, std::vector<Message>{kNoData});
  QVERIFY(form_->BitBtn1->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QVERIFY(form_->Link().ReceiveBuffer.empty());
  QCOMPARE(Snapshot(form_->Settings()), defaults_);
}

void WindowLinkFaultsTest::noiseFloodLeavesTheWindowResponsiveAndEndsWithoutData() {
  // 100 kB of noise ahead of the reply: at 1000 bytes a poll the reply cannot
  // come within the window.
  StartDevice({.flood = 100'000});
  std::size_t flooded_when_event_ran = 0;
  bool read_button_hidden = false;
  WhenInsideReadLoop([&] { return form_->Link().ReceiveBuffer.size() >= 2000; },
                     [&] {
                       flooded_when_event_ran = form_->Link().ReceiveBuffer.size();
                       read_button_hidden = !form_->BitBtn1->isVisible();
                     });
  Click(form_->BitBtn1);

  QVERIFY(flooded_when_event_ran >= 2000);
  QVERIFY(read_button_hidden);
  QCOMPARE(messages_, std::vector<Message>{kNoData});
  QVERIFY(form_->BitBtn1->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QVERIFY(form_->Link().ReceiveBuffer.empty());
  QCOMPARE(Snapshot(form_->Settings()), defaults_);
}

void WindowLinkFaultsTest::answerSentTwiceIsTakenOverOnce() {
  StartDevice({.answer_twice = true});
  Click(form_->BitBtn1);

  QCOMPARE(messages_, std::vector<Message>{kReceived});
  QCOMPARE(Snapshot(form_->Settings()), Snapshot(DeviceSettings()));
  // Only the reply before the first end mark is parsed and logged.
  QCOMPARE(LogCount(form_->Memo1, QString::fromStdString(kDeviceSubscriber)), 1);
  QCOMPARE(device_->RequestsAnswered(), 1);
  QVERIFY(form_->BitBtn1->isVisible());
  QVERIFY(form_->Link().ReceiveBuffer.empty());
}

void WindowLinkFaultsTest::lateAnswerIsNoDataAndDoesNotPassForTheNextReadsAnswer() {
  StartDevice({.late = 3000ms});
  Click(form_->BitBtn1);
  QCOMPARE(device_sent_.load(), std::size_t{0});  // nothing came within the window
  QCOMPARE(messages_, std::vector<Message>{kNoData});
  QCOMPARE(Snapshot(form_->Settings()), defaults_);

  // The late answer arrives between the reads; meanwhile the device's
  // settings change, and it answers the next request in time.
  QTRY_VERIFY_WITH_TIMEOUT(device_sent_ > 0, 20000);
  device_->SetSettings(ChangedDeviceSettings());
  device_->SetOptions({});
  messages_.clear();
  Click(form_->BitBtn1);

  QCOMPARE(messages_, std::vector<Message>{kReceived});
  QCOMPARE(Snapshot(form_->Settings()), Snapshot(ChangedDeviceSettings()));
  QCOMPARE(device_->RequestsAnswered(), 2);
}

void WindowLinkFaultsTest::portRemovedBetweenCommandsShowsAnErrorAndChangesNothing_data() {
  QTest::addColumn<bool>("read");
  QTest::newRow("write") << false;
  QTest::newRow("read") << true;
}

void WindowLinkFaultsTest::portRemovedBetweenCommandsShowsAnErrorAndChangesNothing() {
  QFETCH(bool, read);
  StartDevice({});
  Click(form_->BitBtn2);
  QCOMPARE(messages_, std::vector<Message>{kSent});
  QVERIFY(device_->WaitForFrames(1, 10s));
  device_.reset();  // unplugged: the port is gone
  messages_.clear();

  Click(read ? form_->BitBtn1 : form_->BitBtn2);

  QCOMPARE(messages_, std::vector<Message>{read ? kNoData : kWriteBroken});
  QVERIFY(form_->BitBtn1->isVisible());
  QVERIFY(form_->BitBtn2->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QVERIFY(form_->Link().ReceiveBuffer.empty());
  QCOMPARE(Snapshot(form_->Settings()), defaults_);
}

void WindowLinkFaultsTest::portHeldByAnotherProgramIsReported_data() {
  QTest::addColumn<bool>("read");
  QTest::newRow("write") << false;
  QTest::newRow("read") << true;
}

void WindowLinkFaultsTest::portHeldByAnotherProgramIsReported() {
  QFETCH(bool, read);
  StartDevice({});
  qvx::device::testing::PortHolder holder(device_->Path());
  QVERIFY(holder.Holding());

  Click(read ? form_->BitBtn1 : form_->BitBtn2);

  QCOMPARE(messages_, std::vector<Message>{kCannotOpen});
  QVERIFY(!form_->Link().PortOpen);
  QVERIFY(form_->BitBtn1->isVisible());
  QVERIFY(form_->BitBtn2->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QCOMPARE(device_->RequestsAnswered(), 0);
  QCOMPARE(device_->FramesStored() + device_->FramesRefused(), 0);
  QCOMPARE(Snapshot(form_->Settings()), defaults_);
}

// "--hold-port PORT" makes this program the other one that holds the port.
int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--hold-port") {
    QCoreApplication application(argc, argv);
    return qvx::device::testing::RunPortHolder(argv[2]);
  }
  return qvx::test::RunWindowTest<WindowLinkFaultsTest>(argc, argv);
}

#include "window_link_faults_test.moc"
