// The port selector at start-up: the platform's ports, then the ports of
// running simulators; the first one selected, none when there is none.
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include "app/Unit1.h"
#include "app/tests/test_support.h"
#include "device/fake_link.h"
#include "device/simulated_ports.h"
#include "sim/pty_device.h"

using qvx::device::testing::FakePort;

class PortListTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    // Simulators that other tests run at the same time stay out of the list.
    runtime_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_RUNTIME_DIR", runtime_->path().toLocal8Bit());
  }
  void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

  void portsListedInOrderWithTheFirstSelected_data();
  void portsListedInOrderWithTheFirstSelected();
  void typedNameIsUsedButNotListed();

 private:
  std::unique_ptr<QTemporaryDir> runtime_;
};

void PortListTest::portsListedInOrderWithTheFirstSelected_data() {
  QTest::addColumn<QStringList>("platform");
  QTest::addColumn<bool>("simulator");
  QTest::newRow("no port at all") << QStringList{} << false;
  QTest::newRow("platform ports, unsorted") << QStringList{"ttyUSB1", "ttyS0"} << false;
  QTest::newRow("a simulator after them") << QStringList{"ttyS0"} << true;
  QTest::newRow("a simulator alone") << QStringList{} << true;
}

void PortListTest::portsListedInOrderWithTheFirstSelected() {
  QFETCH(QStringList, platform);
  QFETCH(bool, simulator);
  auto port = std::make_unique<FakePort>();
  QStringList expected = platform;
  for (const QString& name : platform) port->platform_ports.push_back(name.toStdString());
  std::unique_ptr<qvx::sim::PtyDevice> device;
  std::filesystem::path link;
  if (simulator) {
    device = std::make_unique<qvx::sim::PtyDevice>();
    link = qvx::RegisterSimulatedPort(device->Path());
    QVERIFY(!link.empty());
    expected << QString::fromStdString(device->Path());
  }

  TForm1 form(std::move(port));
  QStringList listed;
  for (int i = 0; i < form.ComboBox1->count(); ++i) listed << form.ComboBox1->itemText(i);
  QCOMPARE(listed, expected);
  QCOMPARE(form.ComboBox1->currentIndex(), expected.isEmpty() ? -1 : 0);
  QCOMPARE(form.ComboBox1->currentText(), expected.value(0));
  QVERIFY(!form.Link().PortOpen);
  if (!link.empty()) qvx::UnregisterSimulatedPort(link);
}

void PortListTest::typedNameIsUsedButNotListed() {
  auto port = std::make_unique<FakePort>();
  port->platform_ports = {"ttyS0", "ttyS1"};
  TForm1 form(std::move(port));
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  form.ComboBox1->setFocus();
  form.ComboBox1->lineEdit()->selectAll();
  QTest::keyClicks(form.ComboBox1->lineEdit(), "ttyUSB7");
  QTest::keyClick(form.ComboBox1->lineEdit(), Qt::Key_Return);
  QCOMPARE(form.ComboBox1->count(), 2);
  QCOMPARE(form.ComboBox1->currentText(), QString("ttyUSB7"));
}

QVX_TEST_MAIN(PortListTest)
#include "port_list_test.moc"
