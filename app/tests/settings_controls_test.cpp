// The settings interface over the window's controls: it must behave exactly
// like the in-memory model, and user moves on the sliders must couple the
// thresholds the same way.
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>

#include "app/Unit1.h"
#include "app/qt_text.h"
#include "app/tests/test_support.h"
#include "settings/catalogue.h"
#include "settings/memory_settings.h"

using qvx::Q;

class SettingsControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { form_ = std::make_unique<TForm1>(); }
  void cleanup() {
    form_.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  void writesBehaveLikeTheModel_data();
  void writesBehaveLikeTheModel();
  void userMovesCoupleTheThresholds_data();
  void userMovesCoupleTheThresholds();
  void writtenSliderRunsItsReactionsOnlyThroughTheRules();
  void listWithoutValidIndexHasNoSelection();
  void radioNumbersCheckOneButton_data();
  void radioNumbersCheckOneButton();
  void textsAreTakenAsTheyAre();

 private:
  // Every value, every text and every slider label of both sides agree.
  void CompareWithModel(const qvx::MemorySettings& model);
  std::unique_ptr<TForm1> form_;
};

void SettingsControlsTest::CompareWithModel(const qvx::MemorySettings& model) {
  qvx::Settings& window = form_->Settings();
  for (const qvx::SettingInfo& setting : qvx::Catalogue()) {
    if (setting.kind == qvx::SettingKind::Text) {
      QCOMPARE(window.Text(setting.name), model.Text(setting.name));
      continue;
    }
    QVERIFY2(qvx::ReadValue(window, setting) == qvx::ReadValue(model, setting),
             qPrintable(Q(setting.name)));
    if (setting.kind == qvx::SettingKind::Slider)
      QCOMPARE(window.LabelText(setting.value_label), model.LabelText(setting.value_label));
  }
  QCOMPARE(window.LabelText("Label39"), model.LabelText("Label39"));
  QCOMPARE(form_->Controls().Slider("TrackBar2")->minimum(), model.SliderMinimum("TrackBar2"));
}

using Write = std::pair<std::string, int>;  // setting name, value

void SettingsControlsTest::writesBehaveLikeTheModel_data() {
  QTest::addColumn<std::vector<Write>>("writes");
  QTest::newRow("low threshold pushes the high one up") << std::vector<Write>{{"TrackBar1", 20}};
  QTest::newRow("lowering the low threshold leaves the high one")
      << std::vector<Write>{{"TrackBar1", 20}, {"TrackBar1", -10}};
  QTest::newRow("high threshold below the low one is raised")
      << std::vector<Write>{{"TrackBar1", 40}, {"TrackBar2", 20}, {"TrackBar1", 10}};
  QTest::newRow("high before low as a loaded file sets them")
      << std::vector<Write>{{"TrackBar1", 30}, {"TrackBar2", -40}, {"TrackBar1", -45}};
  QTest::newRow("positions outside the ranges are clamped")
      << std::vector<Write>{{"TrackBar2", 150},
                            {"TrackBar1", -99},
                            {"TrackBar10102", 0},
                            {"TrackBar12126", 12},
                            {"TrackBar884", -3}};
  QTest::newRow("same position changes nothing")
      << std::vector<Write>{{"TrackBar10102", 1}, {"TrackBar10102", 5}, {"TrackBar10102", 5}};
  QTest::newRow("lists and radio groups") << std::vector<Write>{
      {"ComboBox62", 5}, {"ComboBox11", 6}, {"ComboBox12", 4}, {"ComboBox13136", 8},
      {"Set13.1", 7},    {"Set13.2", 5},    {"Set13.4", 0},    {"Set14.1", 0}};
}

void SettingsControlsTest::writesBehaveLikeTheModel() {
  QFETCH(std::vector<Write>, writes);
  qvx::MemorySettings model;
  for (const auto& [name, value] : writes) {
    const qvx::SettingInfo* setting = qvx::FindSetting(name);
    QVERIFY(setting != nullptr);
    qvx::WriteValue(form_->Settings(), *setting, value);
    qvx::WriteValue(model, *setting, value);
  }
  CompareWithModel(model);
}

struct Move {
  const char* slider;
  int position;
};

void SettingsControlsTest::userMovesCoupleTheThresholds_data() {
  QTest::addColumn<std::vector<Move>>("moves");
  QTest::addColumn<QStringList>("labels");  // Label32, Label43, Label39
  QTest::addColumn<int>("high");
  QTest::newRow("low to 20 takes the high along")
      << std::vector<Move>{{"TrackBar1", 20}} << QStringList{"20", "20", "20"} << 20;
  QTest::newRow("low back to -10 leaves the high")
      << std::vector<Move>{{"TrackBar1", 20}, {"TrackBar1", -10}} << QStringList{"20", "-10", "-10"}
      << 20;
  QTest::newRow("high moves down to the low but not below")
      << std::vector<Move>{{"TrackBar1", 20}, {"TrackBar1", -10}, {"TrackBar2", -30}}
      << QStringList{"-10", "-10", "-10"} << -10;
  QTest::newRow("high alone") << std::vector<Move>{{"TrackBar2", 42}}
                              << QStringList{"42", "-50", "-50"} << 42;
}

void SettingsControlsTest::userMovesCoupleTheThresholds() {
  QFETCH(std::vector<Move>, moves);
  QFETCH(QStringList, labels);
  QFETCH(int, high);
  for (const Move& move : moves) form_->Controls().Slider(move.slider)->setValue(move.position);
  QCOMPARE(form_->Controls().Slider("TrackBar2")->value(), high);
  QCOMPARE(form_->Controls().Label("Label32")->text(), labels[0]);
  QCOMPARE(form_->Controls().Label("Label43")->text(), labels[1]);
  QCOMPARE(form_->Controls().Label("Label39")->text(), labels[2]);
  QCOMPARE(form_->Controls().Slider("TrackBar2")->minimum(),
           form_->Controls().Slider("TrackBar1")->value());
}

void SettingsControlsTest::writtenSliderRunsItsReactionsOnlyThroughTheRules() {
  // A write must not also look like a user's move, or the reactions run twice.
  QSignalSpy high(form_->Controls().Slider("TrackBar2"), &QSlider::valueChanged);
  QSignalSpy low(form_->Controls().Slider("TrackBar1"), &QSlider::valueChanged);
  QSignalSpy calls(form_->Controls().Slider("TrackBar10102"), &QSlider::valueChanged);
  form_->Settings().SetSliderPosition("TrackBar1", 30);
  form_->Settings().SetSliderPosition("TrackBar10102", 5);
  QCOMPARE(high.count() + low.count() + calls.count(), 0);
  QCOMPARE(form_->Controls().Slider("TrackBar2")->value(), 30);
  QCOMPARE(form_->Controls().Label("Label70")->text(), QString("5"));

  // A user's page step on the slider itself runs its reaction.
  form_->Controls().Slider("TrackBar10102")->triggerAction(QAbstractSlider::SliderPageStepAdd);
  QCOMPARE(form_->Controls().Slider("TrackBar10102")->value(), 9);
  QCOMPARE(form_->Controls().Label("Label70")->text(), QString("9"));
  form_->Controls().Slider("TrackBar884")->triggerAction(QAbstractSlider::SliderPageStepSub);
  QCOMPARE(form_->Controls().Label("Label58")->text(), QString("4"));
}

void SettingsControlsTest::listWithoutValidIndexHasNoSelection() {
  qvx::Settings& settings = form_->Settings();
  for (int index : {7, 10, -1, -5}) {
    settings.SetListIndex("ComboBox11", 2);
    settings.SetListIndex("ComboBox11", index);
    QCOMPARE(settings.ListIndex("ComboBox11"), qvx::kNoSelection);
    QCOMPARE(form_->Controls().List("ComboBox11")->currentIndex(), -1);
  }
  settings.SetListIndex("ComboBox11", 6);
  QCOMPARE(form_->Controls().List("ComboBox11")->currentText(),
           Q(qvx::FindSetting("ComboBox11")->options[6]));
}

void SettingsControlsTest::radioNumbersCheckOneButton_data() {
  QTest::addColumn<QString>("group");
  QTest::addColumn<int>("number");
  QTest::addColumn<QString>("checked");
  QTest::addColumn<int>("readBack");
  QTest::newRow("three buttons, 0") << "Set13.1" << 0 << "RadioButton131311" << 0;
  QTest::newRow("three buttons, 1") << "Set13.1" << 1 << "RadioButton131312" << 1;
  QTest::newRow("three buttons, 2") << "Set13.1" << 2 << "RadioButton131313" << 2;
  QTest::newRow("three buttons, 7") << "Set13.1" << 7 << "RadioButton131313" << 2;
  QTest::newRow("two buttons, 5") << "Set13.2" << 5 << "RadioButton131322" << 1;
  QTest::newRow("reaction, 0") << "Set13.4" << 0 << "RadioButton131341" << 0;
  QTest::newRow("storage, 0") << "Set14.1" << 0 << "RadioButton141411" << 0;
  QTest::newRow("storage, 7") << "Set14.1" << 7 << "RadioButton141412" << 1;
}

void SettingsControlsTest::radioNumbersCheckOneButton() {
  QFETCH(QString, group);
  QFETCH(int, number);
  QFETCH(QString, checked);
  QFETCH(int, readBack);
  qvx::Settings& settings = form_->Settings();
  settings.SetRadioNumber(group.toStdString(), number);
  QCOMPARE(settings.RadioNumber(group.toStdString()), readBack);
  for (const qvx::RadioButtonInfo& info : qvx::FindSetting(group.toStdString())->buttons) {
    auto* button = form_->findChild<QRadioButton*>(Q(info.control));
    QCOMPARE(button->isChecked(), button->objectName() == checked);
  }
}

void SettingsControlsTest::textsAreTakenAsTheyAre() {
  qvx::Settings& settings = form_->Settings();
  for (const std::string text : {"", " +38 (050) 123 ", "\"quoted", "Абонент №1"}) {
    settings.SetText("Edit16", text);
    QCOMPARE(settings.Text("Edit16"), text);
  }
}

QVX_TEST_MAIN(SettingsControlsTest)
#include "settings_controls_test.moc"
