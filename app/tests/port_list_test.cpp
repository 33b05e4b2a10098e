// The port selector at start-up: the ports of running simulators, then USB
// adapters, then built-in ports; the first one selected, none when there is none.
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include "app/Unit1.h"
#include "app/tests/test_support.h"
#include "sim/pty_device.h"
#include "sim/simulated_ports.h"
#include "tests/support/fake_link.h"

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
  QTest::addColumn<QStringList>("platform_listed");
  QTest::newRow("no port at all") << QStringList{} << false << QStringList{};
  QTest::newRow("platform ports, unsorted") << QStringList{"ttyS0", "ttyUSB1", "ttyACM0"} << false
                                            << QStringList{"ttyACM0", "ttyUSB1", "ttyS0"};
  QTest::newRow("a simulator ahead of them")
      << QStringList{"ttyS0", "ttyUSB0"} << true << QStringList{"ttyUSB0", "ttyS0"};
  QTest::newRow("a simulator alone") << QStringList{} << true << QStringList{};
}

void PortListTest::portsListedInOrderWithTheFirstSelected() {
  QFETCH(QStringList, platform);
  QFETCH(bool, simulator);
  QFETCH(QStringList, platform_listed);
  auto port = std::make_unique<FakePort>();
  QStringList expected;
  for (const QString& name : platform) port->platform_ports.push_back(name.toStdString());
  std::unique_ptr<qvx::sim::PtyDevice> device;
  std::filesystem::path link;
  if (simulator) {
    device = std::make_unique<qvx::sim::PtyDevice>();
    link = qvx::RegisterSimulatedPort(device->Path());
    QVERIFY(!link.empty());
    expected << QString::fromStdString(device->Path());
  }
  expected << platform_listed;

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
