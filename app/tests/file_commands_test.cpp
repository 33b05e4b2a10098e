// "Открыть" and "Сохранить" through the window: the dialogs answered by the
// test, the messages recorded, the file and the controls checked.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <fstream>
#include <sstream>

#include "app/Unit1.h"
#include "app/tests/test_support.h"

using qvx::test::Message;
using qvx::test::RecordedMessages;
using qvx::test::ScriptedDialog;

namespace {

// The line the default settings save to, with its line end.
std::string DefaultFile() {
  std::string line =
      "000000:111111:111111:000000:000000:100050:111111:123911:101111:111110:000000:111111:"
      "001107:110400:000000:";
  for (int i = 0; i < 9; ++i) line += "+380501234567:";
  return line + "7391:000:111:222:333:20198:#\r\n";
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

class FileCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void defaultsSaveToTheKnownLine();
  void cancelledOrEmptySaveWritesNothing();
  void openRestoresSavedSettings();
  void openRefusalsChangeNothing_data();
  void openRefusalsChangeNothing();
  void cancelledOpenDoesNothing();
  void fileNamedOnCommandLine_data();
  void fileNamedOnCommandLine();
  void realDialogOffersBothFiltersAndRemembersTheName();

 private:
  std::string Path(const char* name) const { return dir_->filePath(name).toStdString(); }
  void UseDialogs(std::vector<std::optional<std::string>> open,
                  std::vector<std::optional<std::string>> save);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<TForm1> form_;
  std::vector<Message> messages_;
};

void FileCommandsTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  form_ = std::make_unique<TForm1>();
  messages_.clear();
  form_->SetMessageBoxes(std::make_unique<RecordedMessages>(&messages_));
}

void FileCommandsTest::cleanup() {
  form_.reset();
  QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void FileCommandsTest::UseDialogs(std::vector<std::optional<std::string>> open,
                                  std::vector<std::optional<std::string>> save) {
  form_->OpenDialog1 = std::make_unique<ScriptedDialog>(std::move(open));
  form_->SaveDialog1 = std::make_unique<ScriptedDialog>(std::move(save));
}

void FileCommandsTest::defaultsSaveToTheKnownLine() {
  UseDialogs({}, {Path("set")});
  QTest::mouseClick(form_->N3, Qt::LeftButton);
  QCOMPARE(ReadAll(Path("set.qvx")), DefaultFile());
  QCOMPARE(messages_, (std::vector<Message>{{"Файл успешно сохранен", "Сохранение"}}));
}

void FileCommandsTest::cancelledOrEmptySaveWritesNothing() {
  UseDialogs({}, {std::nullopt, std::string()});
  form_->N3Click();
  form_->N3Click();
  QVERIFY(messages_.empty());
  QVERIFY(QDir(dir_->path()).isEmpty());
}

void FileCommandsTest::openRestoresSavedSettings() {
  qvx::Settings& settings = form_->Settings();
  settings.SetListIndex("ComboBox62", 5);
  settings.SetSliderPosition("TrackBar1", 35);
  settings.SetRadioNumber("Set13.1", 2);
  settings.SetText("Edit25", "1234");
  UseDialogs({Path("kept.qvx")}, {Path("kept.qvx")});
  form_->N3Click();

  TForm1 fresh;
  fresh.SetMessageBoxes(std::make_unique<RecordedMessages>(&messages_));
  fresh.OpenDialog1 =
      std::make_unique<ScriptedDialog>(std::vector<std::optional<std::string>>{Path("kept.qvx")});
  QTest::mouseClick(fresh.N2, Qt::LeftButton);
  QCOMPARE(fresh.Controls().List("ComboBox62")->currentIndex(), 5);
  QCOMPARE(fresh.Controls().Slider("TrackBar1")->value(), 35);
  QCOMPARE(fresh.Controls().Slider("TrackBar2")->value(), 35);  // raised by the coupling
  QCOMPARE(fresh.Controls().Label("Label39")->text(), QString("35"));
  QCOMPARE(fresh.Settings().RadioNumber("Set13.1"), 2);
  QCOMPARE(fresh.Controls().Edit("Edit25")->text(), QString("1234"));
  QCOMPARE(messages_.size(), std::size_t{1});  // only the save's confirmation
}

void FileCommandsTest::openRefusalsChangeNothing_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("content");  // empty: no file is made
  QTest::addColumn<QString>("message");
  QTest::newRow("empty name") << "" << QByteArray() << "Ошибка открытия файла";
  QTest::newRow("missing file") << "absent.qvx" << QByteArray() << "Файл не найден";
  QTest::newRow("27 characters") << "short.qvx" << QByteArray("123456:123456:123456:12345#\r\n")
                                 << "Некорректный файл";
  QTest::newRow("valid line only on the second line")
      << "second.qvx" << QByteArray("\r\n") + QByteArray::fromStdString(DefaultFile())
      << "Некорректный файл";
}

void FileCommandsTest::openRefusalsChangeNothing() {
  QFETCH(QString, name);
  QFETCH(QByteArray, content);
  QFETCH(QString, message);
  form_->Settings().SetListIndex("ComboBox11", 3);
  std::string path;
  if (!name.isEmpty()) path = Path(name.toUtf8().constData());
  if (!content.isEmpty()) WriteAll(path, content.toStdString());
  UseDialogs({path}, {});
  form_->N2Click();
  QCOMPARE(messages_, (std::vector<Message>{{message.toStdString(), "Ошибка"}}));
  QCOMPARE(form_->Controls().List("ComboBox11")->currentIndex(), 3);
  QCOMPARE(form_->Controls().Edit("Edit16")->text(), QString("+380501234567"));
}

void FileCommandsTest::cancelledOpenDoesNothing() {
  UseDialogs({std::nullopt}, {});
  form_->N2Click();
  QVERIFY(messages_.empty());
}

void FileCommandsTest::fileNamedOnCommandLine_data() {
  QTest::addColumn<QString>("name");        // empty: no argument
  QTest::addColumn<QByteArray>("content");  // empty: no file is made
  QTest::addColumn<QString>("message");     // empty: none, the file loads
  QTest::newRow("no argument") << "" << QByteArray() << "";
  QTest::newRow("worked example, Cyrillic name")
      << "настройки.qvx" << QByteArray::fromStdString(DefaultFile()) << "";
  QTest::newRow("bad file") << "bad.qvx" << QByteArray("not settings\r\n") << "Некорректный файл";
  QTest::newRow("missing file") << "absent.qvx" << QByteArray() << "Файл не найден";
}

void FileCommandsTest::fileNamedOnCommandLine() {
  QFETCH(QString, name);
  QFETCH(QByteArray, content);
  QFETCH(QString, message);
  form_->Settings().SetListIndex("ComboBox11", 3);
  form_->Settings().SetText("Edit25", "1234");
  QStringList arguments{"quorvex"};
  if (!name.isEmpty()) arguments << dir_->filePath(name);
  if (!content.isEmpty())
    WriteAll(QFile::encodeName(arguments[1]).toStdString(), content.toStdString());

  form_->OpenFileNamedOnCommandLine(arguments);
  const bool loaded = !name.isEmpty() && message.isEmpty();
  std::vector<Message> expected;
  if (!message.isEmpty()) expected.push_back({message.toStdString(), "Ошибка"});
  QCOMPARE(messages_, expected);
  QCOMPARE(form_->Controls().List("ComboBox11")->currentIndex(), loaded ? 0 : 3);
  QCOMPARE(form_->Controls().Edit("Edit25")->text(), QString(loaded ? "7391" : "1234"));
}

void FileCommandsTest::realDialogOffersBothFiltersAndRemembersTheName() {
  auto dialog = std::make_unique<qvx::QtFileDialog>(qvx::QtFileDialog::Mode::Save);
  dialog->SetNative(false);
  qvx::QtFileDialog* save = dialog.get();
  form_->SaveDialog1 = std::move(dialog);
  const QString chosen = QString::fromStdString(Path("first.qvx"));

  QStringList filters;
  QStringList offered;
  auto answer = [&](bool accept) {
    QTimer::singleShot(0, [&, accept] {
      auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(shown != nullptr);
      filters = shown->nameFilters();
      offered = shown->selectedFiles();
      shown->selectFile(chosen);
      QDialog* box = shown;
      accept ? box->accept() : box->reject();
    });
  };
  answer(true);
  form_->N3Click();
  QCOMPARE(filters, (QStringList{"*.qvx", "*.*"}));
  QCOMPARE(save->LastName(), chosen);
  QVERIFY(QFile::exists(chosen));

  answer(false);  // cancelled: the file stays, the name is kept
  form_->N3Click();
  QCOMPARE(offered.value(0), chosen);
  QCOMPARE(save->LastName(), chosen);
}

QVX_TEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
