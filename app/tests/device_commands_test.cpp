// "Записать", "Прочитать" and the service console through the window's real
// handlers, against the simulated device on a pseudo-terminal.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "app/Unit1.h"
#include "app/qt_text.h"
#include "app/tests/device_window_fixture.h"
#include "settings/catalogue.h"
#include "settings/memory_settings.h"
#include "sim/pty_device.h"
#include "tests/support/fake_link.h"

using qvx::test::kNoData;
using qvx::test::kReceived;
using qvx::test::kSent;
using qvx::test::Message;
using qvx::test::RecordedMessages;
using qvx::test::WhenInsideReadLoop;

Q_DECLARE_METATYPE(qvx::device::OpenResult)

namespace {

// Notes whether the greyed "Записать" was painted while the button was hidden.
class PaintWatcher : public QObject {
 public:
  explicit PaintWatcher(TForm1& form) : form_(form) { form.Image2->installEventFilter(this); }
  bool painted_while_hidden = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !form_.BitBtn2->isVisible()) painted_while_hidden = true;
    return false;
  }

 private:
  TForm1& form_;
};

QStringList Lines(const QPlainTextEdit* memo) {
  return memo->toPlainText().split('\n');
}

}  // namespace

class DeviceCommandsTest : public QObject, qvx::test::DeviceWindowFixture {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void writeSendsTheFramePacedWithTheGreyedButtonShowing();
  void writeRefusedByTheFieldChecksSendsNothing();
  void failedCheckShowsItsMessageAtTheRightMoment_data();
  void failedCheckShowsItsMessageAtTheRightMoment();
  void readTakesTheDeviceSettingsOver();
  void secondReadSendsTheRequestAgainWithoutReopening();
  void failedReadsChangeNoControl_data();
  void failedReadsChangeNoControl();
  void portThatCannotBeOpenedIsReported_data();
  void portThatCannotBeOpenedIsReported();
  void portErrorGivesTheCauseTheLinkKnows_data();
  void portErrorGivesTheCauseTheLinkKnows();
  void stopDuringAReadEndsItWithoutEvaluation();
  void closingTheWindowDuringAReadEndsTheLoop();
  void consoleOpensListensSendsAndCloses();
  void consoleTextGoesOutInCodePage1251();
};

void DeviceCommandsTest::init() {
  OpenWindow(true);
  UseDevice(std::make_unique<qvx::sim::PtyDevice>());
}

void DeviceCommandsTest::cleanup() {
  CloseWindowAndDevice();
}

void DeviceCommandsTest::writeSendsTheFramePacedWithTheGreyedButtonShowing() {
  form_->Settings().SetListIndex("ComboBox62", 5);
  form_->Settings().SetSliderPosition("TrackBar1", -7);
  form_->Controls().Edit("Edit16")->setText("+38 (050) 111-22-33");
  form_->Controls().Edit("Edit26")->setText("7");
  PaintWatcher watcher(*form_);

  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(form_->BitBtn2, Qt::LeftButton);
  const qint64 elapsed = clock.elapsed();

  QVERIFY(device_->WaitForFrames(1, std::chrono::seconds(5)));
  QCOMPARE(device_->FramesStored(), 1);
  const std::string frame = device_->ReceivedText();
  QVERIFY(frame.rfind("A3A4", 0) == 0);
  QVERIFY(frame.find("#ABN1+380501112233#ABN2") != std::string::npos);
  QVERIFY(frame.find("#T2007111222333#T3") != std::string::npos);
  QVERIFY(elapsed >= static_cast<qint64>(frame.size()) - 1);  // a pause after every byte

  const qvx::MemorySettings stored = device_->Settings();
  for (const qvx::SettingInfo& setting : qvx::Catalogue())
    if (setting.kind != qvx::SettingKind::Text)
      QVERIFY(qvx::ReadValue(stored, setting) == qvx::ReadValue(form_->Settings(), setting));
  QCOMPARE(form_->Controls().Edit("Edit16")->text(), QString("+380501112233"));
  QCOMPARE(form_->Controls().Edit("Edit26")->text(), QString("007"));
  QCOMPARE(messages_, std::vector<Message>{kSent});
  QVERIFY(watcher.painted_while_hidden);
  QVERIFY(form_->BitBtn2->isVisible());
  QCOMPARE(Lines(form_->Memo1), (QStringList{"Memo1", "ком закрыт", "ком открыт"}));
}

void DeviceCommandsTest::writeRefusedByTheFieldChecksSendsNothing() {
  form_->Controls().Edit("Edit17")->setText("");
  QTest::mouseClick(form_->BitBtn2, Qt::LeftButton);
  QCOMPARE(messages_, (std::vector<Message>{{"Неверный формат", "Ошибка "}}));
  QCOMPARE(form_->PageControl1->currentWidget(), form_->TabSheet11);
  QCOMPARE(form_->Controls().Edit("Edit17")->palette().color(QPalette::Base), QColor(255, 0, 0));
  QCOMPARE(form_->Controls().Edit("Edit16")->palette().color(QPalette::Base),
           QColor(255, 255, 255));
  QVERIFY(!form_->Link().PortOpen);

  // Corrected, the next write passes and the mark turns white.
  form_->Controls().Edit("Edit17")->setText("+380501234567");
  form_->BitBtn2Click();
  QCOMPARE(form_->Controls().Edit("Edit17")->palette().color(QPalette::Base),
           QColor(255, 255, 255));
  QVERIFY(device_->WaitForFrames(1, std::chrono::seconds(5)));
  // The line keeps its order: whatever the refused write had sent would
  // have arrived ahead of this frame.
  const std::string received = device_->ReceivedText();
  QCOMPARE(received.rfind("A3A4"), std::size_t{0});
  QCOMPARE(device_->FramesStored(), 1);
}

void DeviceCommandsTest::failedCheckShowsItsMessageAtTheRightMoment_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("message");
  QTest::addColumn<QString>("title");
  QTest::addColumn<bool>("tabBeforeMessage");
  QTest::addColumn<bool>("redBeforeMessage");
  QTest::addColumn<bool>("tabAfterMessage");
  QTest::newRow("subscriber") << "Edit20"
                              << "abc"
                              << "Неверный формат"
                              << "Ошибка " << true << true << true;
  QTest::newRow("password") << "Edit25"
                            << "12"
                            << "Проверьте  пароль"
                            << "Ошибка" << false << true << true;
  QTest::newRow("address part") << "Edit28"
                                << "1234"
                                << "Неверный формат"
                                << "Ошибка " << true << true << true;
  QTest::newRow("port") << "Edit30"
                        << ""
                        << "Проверьте  порт"
                        << "Ошибка" << false << false << false;
}

void DeviceCommandsTest::failedCheckShowsItsMessageAtTheRightMoment() {
  QFETCH(QString, field);
  QFETCH(QString, text);
  QFETCH(QString, message);
  QFETCH(QString, title);
  QFETCH(bool, tabBeforeMessage);
  QFETCH(bool, redBeforeMessage);
  QFETCH(bool, tabAfterMessage);
  const QColor red(255, 0, 0);
  const QColor white(255, 255, 255);
  auto colour = [&](const char* name) {
    return form_->Controls().Edit(name)->palette().color(QPalette::Base);
  };

  // A red mark left by an earlier refusal.
  form_->Controls().Edit("Edit17")->setText("");
  form_->BitBtn2Click();
  QCOMPARE(colour("Edit17"), red);
  form_->Controls().Edit("Edit17")->setText("+380501234567");
  form_->PageControl1->setCurrentWidget(form_->TabSheet1);
  messages_.clear();

  QLineEdit* failing = form_->Controls().Edit(qvx::U(field));
  failing->setText(text);
  auto* boxes = new RecordedMessages(&messages_);
  bool on_tab = false;
  QColor failing_colour;
  QColor earlier_colour;
  boxes->on_show = [&] {
    on_tab = form_->PageControl1->currentWidget() == form_->TabSheet11;
    failing_colour = failing->palette().color(QPalette::Base);
    earlier_colour = colour("Edit17");
  };
  form_->SetMessageBoxes(std::unique_ptr<RecordedMessages>(boxes));
  form_->BitBtn2Click();

  QCOMPARE(messages_, (std::vector<Message>{{message.toStdString(), title.toStdString()}}));
  QCOMPARE(on_tab, tabBeforeMessage);
  QCOMPARE(failing_colour == red, redBeforeMessage);
  QCOMPARE(earlier_colour, white);  // the subscribers passed before the failing stage
  QCOMPARE(form_->PageControl1->currentWidget() == form_->TabSheet11, tabAfterMessage);
  QCOMPARE(failing->palette().color(QPalette::Base), red);
  QCOMPARE(device_->ReceivedText(), std::string());
}

void DeviceCommandsTest::readTakesTheDeviceSettingsOver() {
  qvx::MemorySettings on_device;
  on_device.SetListIndex("ComboBox11", 6);
  on_device.SetListIndex("ComboBox10106", 8);
  on_device.SetSliderPosition("TrackBar2", 42);
  on_device.SetSliderPosition("TrackBar1", -7);
  on_device.SetRadioNumber("Set14.1", 0);
  on_device.SetText("Edit24", "+79991234567");
  device_->SetSettings(on_device);

  bool hidden_while_reading = false;
  WhenInsideReadLoop([] { return true; },
                     [&] { hidden_while_reading = !form_->BitBtn1->isVisible(); });
  QTest::mouseClick(form_->BitBtn1, Qt::LeftButton);

  QVERIFY(hidden_while_reading);
  QCOMPARE(messages_, std::vector<Message>{kReceived});
  for (const qvx::SettingInfo& setting : qvx::Catalogue()) {
    if (setting.kind == qvx::SettingKind::Text)
      QCOMPARE(form_->Settings().Text(setting.name), on_device.Text(setting.name));
    else
      QVERIFY(qvx::ReadValue(form_->Settings(), setting) == qvx::ReadValue(on_device, setting));
  }
  QCOMPARE(form_->Controls().Label("Label32")->text(), QString("42"));
  QCOMPARE(form_->Controls().Label("Label39")->text(), QString("-7"));
  QVERIFY(form_->BitBtn1->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QVERIFY(form_->Link().ReceiveBuffer.empty());
  QVERIFY(Lines(form_->Memo1).contains("+79991234567"));  // the raw entries are logged
}

void DeviceCommandsTest::secondReadSendsTheRequestAgainWithoutReopening() {
  form_->BitBtn1Click();
  form_->BitBtn1Click();
  QCOMPARE(device_->ReceivedText(), std::string("A5A6A5A6"));
  QCOMPARE(messages_, (std::vector<Message>{kReceived, kReceived}));
  QCOMPARE(Lines(form_->Memo1).count("ком открыт"), 1);
}

void DeviceCommandsTest::failedReadsChangeNoControl_data() {
  QTest::addColumn<bool>("notReady");
  QTest::addColumn<bool>("silent");
  QTest::addColumn<QString>("text");
  QTest::newRow("SIM card not ready") << true << false << "SIM-карта ещё не готова";
  QTest::newRow("device silent") << false << true << "Не удалось получить данные";
}

void DeviceCommandsTest::failedReadsChangeNoControl() {
  QFETCH(bool, notReady);
  QFETCH(bool, silent);
  QFETCH(QString, text);
  qvx::sim::SimOptions options;
  options.not_ready = notReady;
  options.silent = silent;
  device_->SetOptions(options);
  qvx::MemorySettings on_device;
  on_device.SetListIndex("ComboBox11", 6);
  device_->SetSettings(on_device);

  form_->BitBtn1Click();
  QCOMPARE(messages_, (std::vector<Message>{{text.toStdString(), "Ошибка "}}));
  QCOMPARE(form_->Controls().List("ComboBox11")->currentIndex(), 0);
  QVERIFY(form_->BitBtn1->isVisible());
}

void DeviceCommandsTest::portThatCannotBeOpenedIsReported_data() {
  QTest::addColumn<QString>("port");
  QTest::addColumn<QString>("cause");  // the line under the unchanged first one
  QTest::newRow("no such device") << "/dev/quorvex-no-such-port"
                                  << "Порт /dev/quorvex-no-such-port: нет такого устройства";
  QTest::newRow("no name") << ""
                           << "Порт не указан";
  // Each test that opens a non-terminal uses its own device: the serial
  // port's lock file for one device would make another test's open busy.
  QTest::newRow("no terminal") << "/dev/full"
                               << "Порт /dev/full: это не устройство терминала";
}

void DeviceCommandsTest::portThatCannotBeOpenedIsReported() {
  QFETCH(QString, port);
  QFETCH(QString, cause);
  form_->ComboBox1->setEditText(port);
  form_->BitBtn1Click();
  form_->BitBtn2Click();
  const Message error{"Error 1: Не могу открыть указанный Com порт!\n" + cause.toStdString(),
                      "Quorvex"};
  QCOMPARE(messages_, (std::vector<Message>{error, error}));
  QVERIFY(form_->BitBtn1->isVisible());
  QVERIFY(form_->BitBtn2->isVisible());
  QVERIFY(!form_->Timer1->isActive());
}

void DeviceCommandsTest::portErrorGivesTheCauseTheLinkKnows_data() {
  QTest::addColumn<qvx::device::OpenResult>("result");
  QTest::addColumn<bool>("permission");
  QTest::addColumn<QString>("shown");
  const QString error1 = "Error 1: Не могу открыть указанный Com порт!\n";
  QTest::newRow("permission denied")
      << qvx::device::OpenResult::CannotOpen << true
      << error1 +
             "Порт ttyUSB0: нет прав на доступ к порту\n"
             "Чтобы открывать последовательные порты, вступите в группу dialout: "
             "sudo adduser $USER dialout, затем войдите в систему заново.";
  QTest::newRow("busy") << qvx::device::OpenResult::CannotOpen << false
                        << error1 + "Порт ttyUSB0: порт занят другой программой";
  // Error 2 to 4 hold the port: their text stays alone.
  QTest::newRow("line not set") << qvx::device::OpenResult::LineNotSet << false << "Error 3";
}

void DeviceCommandsTest::portErrorGivesTheCauseTheLinkKnows() {
  QFETCH(qvx::device::OpenResult, result);
  QFETCH(bool, permission);
  QFETCH(QString, shown);
  auto port = std::make_unique<qvx::device::testing::FakePort>();
  port->next_open = result;
  port->failure = {permission ? qvx::device::Cause::Denied : qvx::device::Cause::Busy,
                   permission ? "нет прав на доступ к порту" : "порт занят другой программой"};
  TForm1 form(std::move(port));
  std::vector<Message> messages;
  form.SetMessageBoxes(std::make_unique<RecordedMessages>(&messages));
  form.ComboBox1->setEditText("ttyUSB0");
  form.BitBtn2Click();
  QCOMPARE(messages, (std::vector<Message>{{shown.toStdString(), "Quorvex"}}));
}

void DeviceCommandsTest::stopDuringAReadEndsItWithoutEvaluation() {
  WhenInsideReadLoop([&] { return form_->Link().ReceiveBuffer.find(":#") != std::string::npos; },
                     [&] { QTest::mouseClick(form_->Button7, Qt::LeftButton); });
  form_->BitBtn1Click();
  QVERIFY(messages_.empty());
  QVERIFY(!form_->BitBtn1->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QCOMPARE(Lines(form_->Memo3), (QStringList{"Memo3", "чтение ----"}));
  QVERIFY(!form_->Link().ReceiveBuffer.empty());

  // The kept reply is what the next evaluation finds first.
  form_->Timer1Timer();
  QCOMPARE(messages_, std::vector<Message>{kReceived});
  QVERIFY(form_->BitBtn1->isVisible());
}

void DeviceCommandsTest::closingTheWindowDuringAReadEndsTheLoop() {
  WhenInsideReadLoop([] { return true; }, [&] { form_->close(); });
  form_->BitBtn1Click();
  QVERIFY(!form_->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QVERIFY(form_->Link().StopReading);
  QVERIFY(messages_.empty());
}

void DeviceCommandsTest::consoleOpensListensSendsAndCloses() {
  qvx::sim::SimOptions silent;
  silent.silent = true;
  device_->SetOptions(silent);

  // Open and listen: nothing comes, so the evaluation reports it.
  form_->Button5Click();
  QCOMPARE(messages_, std::vector<Message>{kNoData});
  QVERIFY(form_->Link().PortOpen);

  form_->Memo2->setPlainText("ab\ncd");
  form_->Button6Click();
  QVERIFY(device_->WaitForReceived(6, std::chrono::seconds(5)));
  QCOMPARE(device_->ReceivedText(), std::string("ab\r\ncd"));

  const int log_lines = Lines(form_->Memo1).size();
  form_->Memo2->clear();
  form_->Button6Click();  // nothing to send: nothing written, nothing logged
  QCOMPARE(Lines(form_->Memo1).size(), log_lines);

  form_->Button4Click();
  QCOMPARE(Lines(form_->Memo1).last(), QString("ком закрыт"));
  form_->Memo2->setPlainText("x");
  form_->Button6Click();
  QCOMPARE(Lines(form_->Memo1).last(), QString("Ошибка в WriteFile"));

  form_->Button7Click();  // no read running: only the line and the timer
  QCOMPARE(Lines(form_->Memo3).last(), QString("чтение ----"));
  QVERIFY(!form_->Timer1->isActive());
}

void DeviceCommandsTest::consoleTextGoesOutInCodePage1251() {
  form_->Button5Click();  // open and listen; the device answers nothing asked
  form_->Memo2->setPlainText(QString::fromUtf8("Да №1 \xE6\xBC\xA2"));  // the last one has no code
  form_->Button6Click();
  QVERIFY(device_->WaitForReceived(7, std::chrono::seconds(5)));
  QCOMPARE(device_->ReceivedText(), std::string("\xC4\xE0 \xB9"
                                                "1 ?"));
}

QVX_TEST_MAIN(DeviceCommandsTest)
#include "device_commands_test.moc"
