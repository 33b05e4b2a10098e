// Faults of the line and of the device, met through the window's own
// handlers: a line that hangs up, a flood of noise, a doubled or a late
// answer, a port that went away and a port another program holds. In every
// case the settings controls change only when a read succeeds.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "app/Unit1.h"
#include "app/tests/device_window_fixture.h"
#include "device/port_causes.h"
#include "device/qt_serial_port.h"
#include "settings/catalogue.h"
#include "settings/memory_settings.h"
#include "tests/support/changed_settings.h"
#include "tests/support/port_client_test_util.h"
#include "tests/support/pty_test_support.h"
#include "tests/support/settings_snapshot.h"

using namespace std::chrono_literals;
using qvx::Snapshot;
using qvx::test::kCannotOpen;
using qvx::test::kNoData;
using qvx::test::kReceived;
using qvx::test::kSent;
using qvx::test::kWriteBroken;
using qvx::test::Message;
using qvx::test::RecordedMessages;
using qvx::test::WhenInsideReadLoop;

namespace {

// What the device holds: apart from the window's defaults in every kind of setting.
qvx::MemorySettings DeviceSettings() {
  return qvx::ChangedSettings();
}

// The same device after someone changed it again.
qvx::MemorySettings ChangedDeviceSettings() {
  qvx::MemorySettings settings = DeviceSettings();
  settings.SetListIndex("ComboBox11", 3);
  settings.SetText("Edit30", "8081");
  return settings;
}

// Messages as "text|title", for table columns.
QStringList Shown(const std::vector<Message>& messages) {
  QStringList shown;
  for (const Message& message : messages)
    shown << QString::fromStdString(message.text + "|" + message.title);
  return shown;
}

int LogCount(const QPlainTextEdit* memo, const QString& line) {
  return memo->toPlainText().split('\n').count(line);
}

// A second opener of the port that counts the bytes lying unread on the
// line. It must stay open while they matter: the device drops the line's
// input whenever an opener closes.
class LineWatcher {
 public:
  explicit LineWatcher(const std::string& port)
      : line_(open(port.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
  ~LineWatcher() {
    if (line_ >= 0) close(line_);
  }
  LineWatcher(const LineWatcher&) = delete;
  LineWatcher& operator=(const LineWatcher&) = delete;

  // Waits until the device has sent something and all of it lies unread;
  // returns how many bytes lie there. Lets no event run, so the window's
  // port takes nothing meanwhile.
  std::size_t WaitUnread(const std::atomic<std::size_t>& sent) const {
    int unread = 0;
    const QDeadlineTimer patience(std::chrono::seconds(30));
    while (line_ >= 0 && (sent == 0 || static_cast<std::size_t>(unread) < sent) &&
           !patience.hasExpired()) {
      QThread::msleep(10);
      if (ioctl(line_, FIONREAD, &unread) != 0) break;
    }
    return static_cast<std::size_t>(unread);
  }

 private:
  int line_;
};

}  // namespace

class WindowLinkFaultsTest : public QObject, qvx::test::DeviceWindowFixture {
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
  void programmerPluggedBackUnderTheSameNameIsOpenedAgain();

 private:
  // A new simulated device with these options, typed into ComboBox1.
  void StartDevice(qvx::sim::SimOptions options);
  void Click(QAbstractButton* button) {
    QVERIFY(button != nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
  }

  std::vector<std::string> defaults_;  // the window's settings before each case
  std::atomic<std::size_t> device_sent_{0};
};

void WindowLinkFaultsTest::init() {
  OpenWindow(true);
  defaults_ = Snapshot(form_->Settings());
  QVERIFY(defaults_ != Snapshot(DeviceSettings()));
}

void WindowLinkFaultsTest::cleanup() {
  CloseWindowAndDevice();
}

void WindowLinkFaultsTest::StartDevice(qvx::sim::SimOptions options) {
  device_.reset();  // the old device's port is gone before the new one starts
  device_sent_ = 0;
  UseDevice(std::make_unique<qvx::sim::PtyDevice>(DeviceSettings(), options,
                                                  [this](const qvx::sim::LogEntry& entry) {
                                                    if (entry.kind == qvx::sim::LogEntry::Kind::Out)
                                                      device_sent_ += entry.bytes.size();
                                                  }));
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
  QCOMPARE(LogCount(form_->Memo1, QString::fromStdString(DeviceSettings().Text("Edit19"))), 1);
  QCOMPARE(device_->RequestsAnswered(), 1);
  QVERIFY(form_->BitBtn1->isVisible());
  QVERIFY(form_->Link().ReceiveBuffer.empty());
}

void WindowLinkFaultsTest::lateAnswerIsNoDataAndDoesNotPassForTheNextReadsAnswer() {
  // Well behind the 2000 ms window, so the outcome does not hang on where
  // the last poll falls.
  StartDevice({.late = 3000ms});
  Click(form_->BitBtn1);
  QCOMPARE(device_sent_.load(), std::size_t{0});  // nothing came within the window
  QCOMPARE(messages_, std::vector<Message>{kNoData});
  QCOMPARE(Snapshot(form_->Settings()), defaults_);

  // The late answer arrives between the reads and waits on the line.
  // Meanwhile the device's settings change; it answers the next request in time.
  const LineWatcher line(device_->Path());
  const std::size_t unread = line.WaitUnread(device_sent_);
  QCOMPARE(unread, device_sent_.load());
  device_->SetSettings(ChangedDeviceSettings());
  device_->SetOptions({});
  messages_.clear();
  Click(form_->BitBtn1);

  QCOMPARE(messages_, std::vector<Message>{kReceived});
  QCOMPARE(Snapshot(form_->Settings()), Snapshot(ChangedDeviceSettings()));
  QCOMPARE(device_->RequestsAnswered(), 2);
}

void WindowLinkFaultsTest::portRemovedBetweenCommandsShowsAnErrorAndChangesNothing_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QStringList>("shown");
  QTest::addColumn<QString>("logged");  // last line of Memo1
  QTest::newRow("write") << "BitBtn2" << Shown({kWriteBroken}) << "Ошибка в WriteFile";
  QTest::newRow("read") << "BitBtn1" << Shown({kNoData}) << "Ошибка в WriteFile";
  QTest::newRow("console send") << "Button6" << Shown({}) << "Ошибка в WriteFile";
}

void WindowLinkFaultsTest::portRemovedBetweenCommandsShowsAnErrorAndChangesNothing() {
  QFETCH(QString, button);
  QFETCH(QStringList, shown);
  QFETCH(QString, logged);
  StartDevice({});
  Click(form_->BitBtn2);
  QCOMPARE(Shown(messages_), Shown({kSent}));
  QVERIFY(device_->WaitForFrames(1, 10s));
  device_.reset();  // unplugged: the port is gone
  messages_.clear();
  form_->Memo2->setPlainText("AT");

  Click(form_->findChild<QAbstractButton*>(button));

  QCOMPARE(Shown(messages_), shown);
  QCOMPARE(form_->Memo1->toPlainText().split('\n').last(), logged);
  QVERIFY(form_->BitBtn1->isVisible());
  QVERIFY(form_->BitBtn2->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QVERIFY(form_->Link().ReceiveBuffer.empty());
  QCOMPARE(Snapshot(form_->Settings()), defaults_);
}

void WindowLinkFaultsTest::portHeldByAnotherProgramIsReported_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QStringList>("shown");
  QTest::newRow("write") << "BitBtn2" << Shown({});
  QTest::newRow("read") << "BitBtn1" << Shown({});
  // The console listens even when its open failed; nothing can come.
  QTest::newRow("console open") << "Button5" << Shown({kNoData});
}

void WindowLinkFaultsTest::portHeldByAnotherProgramIsReported() {
  QFETCH(QString, button);
  QFETCH(QStringList, shown);
  StartDevice({});
  auto holder = std::make_unique<qvx::device::testing::PortHolder>(device_->Path());
  QVERIFY(holder->Holding());

  Click(form_->findChild<QAbstractButton*>(button));

  // The port error first, naming the port, why and who holds it, without
  // the dialout hint.
  const Message held{kCannotOpen.text + "\nПорт " + device_->Path() + ": " +
                         std::string(qvx::device::kPortBusy) + " (процесс " +
                         std::to_string(holder->Pid()) + ")",
                     kCannotOpen.title};
  shown.prepend(Shown({held}).first());
  QCOMPARE(Shown(messages_), shown);
  QVERIFY(!form_->Link().PortOpen);
  QVERIFY(form_->BitBtn1->isVisible());
  QVERIFY(form_->BitBtn2->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QCOMPARE(Snapshot(form_->Settings()), defaults_);
  // Once the device has taken a marker sent after the click, it has taken
  // whatever the click might have sent before it: nothing.
  holder.reset();
  qvx::sim::testing::PortClient marker(device_->Path());
  QVERIFY(marker.Write("A5A6"));
  QVERIFY(device_->WaitForReceived(4, 10s));
  QCOMPARE(device_->ReceivedText(), std::string("A5A6"));
  QCOMPARE(device_->FramesStored() + device_->FramesRefused(), 0);
}

// "--hold-port PORT" makes this program the other one that holds the port.

void WindowLinkFaultsTest::programmerPluggedBackUnderTheSameNameIsOpenedAgain() {
  // A fixed port name that points at whichever line the device has now, as a
  // USB programmer keeps its name when it is plugged in again.
  const QString folder = QDir::temp().filePath(QString("qvx-replug-%1").arg(getpid()));
  QDir().mkpath(folder);
  const QString name = folder + "/ttyQVX";
  const auto plug = [&] {
    StartDevice({});
    QFile::remove(name);
    QVERIFY(QFile::link(QString::fromStdString(device_->Path()), name));
    form_->ComboBox1->setEditText(name);
  };
  plug();
  Click(form_->BitBtn2);
  QCOMPARE(messages_, std::vector<Message>{kSent});

  device_.reset();  // unplugged
  messages_.clear();
  Click(form_->BitBtn2);
  QCOMPARE(messages_, std::vector<Message>{kWriteBroken});

  plug();  // plugged back: same name, new line
  messages_.clear();
  Click(form_->BitBtn2);
  QCOMPARE(messages_, std::vector<Message>{kSent});
  QVERIFY(device_->WaitForFrames(1, 10s));
  QCOMPARE(device_->FramesStored(), 1);
  QDir(folder).removeRecursively();
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--hold-port") {
    QCoreApplication application(argc, argv);
    return qvx::device::testing::RunPortHolder(argv[2]);
  }
  return qvx::test::RunWindowTest<WindowLinkFaultsTest>(argc, argv);
}

#include "window_link_faults_test.moc"
