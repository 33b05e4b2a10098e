// "Открыть" and "Сохранить" through the window: the dialogs answered by the
// test, the messages recorded, the file and the controls checked.
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRegularExpression>
#include <QSlider>
#include <QSplitter>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "app/Unit1.h"
#include "app/tests/test_support.h"
#include "app/window_arguments.h"

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

class FileCommandsTest : public QObject, qvx::test::WindowFixture {
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
  void realDialogSpeaksRussianInTheWindowsFont();
  void keysRunTheFileCommands_data();
  void keysRunTheFileCommands();

 private:
  // `name` as bytes: a name need not be UTF-8.
  std::string Path(const char* name) const {
    return QFile::encodeName(dir_->path()).toStdString() + "/" + name;
  }
  void UseDialogs(std::vector<std::optional<std::string>> open,
                  std::vector<std::optional<std::string>> save);

  std::unique_ptr<QTemporaryDir> dir_;
};

void FileCommandsTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  OpenWindow();
}

void FileCommandsTest::cleanup() {
  CloseWindow();
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
  // Words after the program's name, relative to the scratch folder; the
  // file made there (none when the content is empty) and the message shown
  // (none: the file loads; "-": nothing happens).
  QTest::addColumn<QByteArrayList>("words");
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QString>("message");
  const QByteArray good = QByteArray::fromStdString(DefaultFile());
  QTest::newRow("no argument") << QByteArrayList{} << QByteArray() << QByteArray() << "-";
  QTest::newRow("worked example, Cyrillic name")
      << QByteArrayList{"настройки.qvx"} << QByteArray("настройки.qvx") << good << "";
  // A Windows-1251 name is no valid UTF-8: only its bytes find the file.
  const QByteArray cp1251_name("\xcf\xf0\xe8\xec\xe5\xf0.qvx");
  QTest::newRow("Windows-1251 name") << QByteArrayList{cp1251_name} << cp1251_name << good << "";
  QTest::newRow("name after --, starting with -")
      << QByteArrayList{"--", "-set.qvx"} << QByteArray("-set.qvx") << good << "";
  QTest::newRow("-- itself after --")
      << QByteArrayList{"--", "--"} << QByteArray("--") << good << "";
  QTest::newRow("first of two names")
      << QByteArrayList{"set.qvx", "absent.qvx"} << QByteArray("set.qvx") << good << "";
  QTest::newRow("bad file") << QByteArrayList{"bad.qvx"} << QByteArray("bad.qvx")
                            << QByteArray("not settings\r\n") << "Некорректный файл";
  QTest::newRow("missing file") << QByteArrayList{"absent.qvx"} << QByteArray() << QByteArray()
                                << "Файл не найден";
}

void FileCommandsTest::fileNamedOnCommandLine() {
  QFETCH(QByteArrayList, words);
  QFETCH(QByteArray, file);
  QFETCH(QByteArray, content);
  QFETCH(QString, message);
  form_->Settings().SetListIndex("ComboBox11", 3);
  form_->Settings().SetText("Edit25", "1234");
  if (!content.isEmpty()) WriteAll(Path(file.constData()), content.toStdString());
  std::vector<std::string> argv_words;
  for (const QByteArray& word : words) argv_words.push_back(word.toStdString());
  const qvx::WindowArguments arguments = qvx::ParseWindowArguments(argv_words);
  QCOMPARE(arguments.action, qvx::WindowArguments::Action::OpenWindow);

  // Names are taken as given, relative to the current folder.
  const QString earlier = QDir::currentPath();
  QVERIFY(QDir::setCurrent(dir_->path()));
  form_->OpenFileNamedOnCommandLine(arguments.file);
  QVERIFY(QDir::setCurrent(earlier));

  const bool loaded = message.isEmpty();
  std::vector<Message> expected;
  if (!loaded && message != "-") expected.push_back({message.toStdString(), "Ошибка"});
  QCOMPARE(messages_, expected);
  QCOMPARE(form_->Controls().List("ComboBox11")->currentIndex(), loaded ? 0 : 3);
  QCOMPARE(form_->Controls().Edit("Edit25")->text(), QString(loaded ? "7391" : "1234"));
  // QTemporaryDir cannot remove a name that is not UTF-8.
  if (!content.isEmpty()) QCOMPARE(std::remove(Path(file.constData()).c_str()), 0);
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

void FileCommandsTest::realDialogSpeaksRussianInTheWindowsFont() {
  // Whatever the machine's locale (the tests run in the C locale): sizes,
  // dates and folder types in Russian, every column as wide as its texts.
  const QString folder_name = "Папка с длинным именем, чтобы колонка была широкой";
  QVERIFY(QDir(dir_->path()).mkdir(folder_name));
  const std::map<QString, QString> sizes = {{"1.qvx", "1 байт"},     {"3.qvx", "3 байта"},
                                            {"12.qvx", "12 байт"},   {"22.qvx", "22 байта"},
                                            {"260.qvx", "260 байт"}, {"1300.qvx", "1,3 кБ"},
                                            {folder_name, ""}};
  for (const auto& [name, size] : sizes)
    if (name.endsWith(".qvx"))
      WriteAll(Path(name.toUtf8().constData()), std::string(name.chopped(4).toInt(), 'x'));
  auto dialog = std::make_unique<qvx::QtFileDialog>(qvx::QtFileDialog::Mode::Open);
  dialog->SetNative(false);
  form_->OpenDialog1 = std::move(dialog);
  std::map<QString, QStringList> rows;  // name: size, type, date
  QStringList cut;
  QString font;
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY(shown != nullptr);
    shown->setDirectory(dir_->path());
    auto* view = shown->findChild<QTreeView*>("treeView");
    QVERIFY(view != nullptr);
    // The folder is read in the background: wait for every entry.
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), static_cast<int>(sizes.size()));
    // The columns are fitted once the entries are in, a turn or more after
    // them on a busy machine: give the fitting its time before judging it.
    const auto any_cut = [&] {
      for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        for (int column = 0; column < 4; ++column) {
          const QString text =
              view->model()->index(row, column, view->rootIndex()).data().toString();
          if (view->header()->sectionSize(column) < view->fontMetrics().horizontalAdvance(text))
            return true;
        }
      return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(!any_cut(), 5000);
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
      QStringList cells;
      for (int column = 0; column < 4; ++column) {
        const QString text = view->model()->index(row, column, view->rootIndex()).data().toString();
        cells << text;
        if (view->header()->sectionSize(column) < view->fontMetrics().horizontalAdvance(text))
          cut << text;
      }
      rows[cells.takeFirst()] = cells;
    }
    auto* places = shown->findChild<QListView*>("sidebar");
    QVERIFY(places != nullptr);
    // As narrow as the user (or the state Qt kept from an earlier dialog) may make it.
    auto* splitter = shown->findChild<QSplitter*>("splitter");
    QVERIFY(splitter != nullptr);
    splitter->setSizes({1, 10'000});
    for (int row = 0; row < places->model()->rowCount(); ++row) {
      const QModelIndex place = places->model()->index(row, 0);
      if (places->viewport()->width() < places->sizeHintForIndex(place).width())
        cut << place.data().toString();
    }
    font = QString("%1 %2px").arg(shown->font().family()).arg(shown->font().pixelSize());
    shown->reject();
  });
  form_->N2Click();

  const QRegularExpression date("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$");
  QCOMPARE(rows.size(), sizes.size());
  for (const auto& [name, size] : sizes) {
    const QStringList cells = rows[name];
    QCOMPARE(cells.value(0), size);
    if (size.isEmpty()) QCOMPARE(cells.value(1), QString("Папка"));
    QVERIFY2(!cells.value(1).contains(QRegularExpression("[A-Za-z]")), qPrintable(cells.value(1)));
    QVERIFY2(date.match(cells.value(2)).hasMatch(), qPrintable(cells.value(2)));
  }
  QVERIFY2(cut.isEmpty(), qPrintable(cut.join(", ")));
  QCOMPARE(font, QString("%1 13px").arg(form_->font().family()));
}

void FileCommandsTest::keysRunTheFileCommands_data() {
  QTest::addColumn<QString>("focus");  // the control that has the keyboard
  QTest::newRow("command button") << "N2";
  QTest::newRow("port selector, editable") << "ComboBox1";
  QTest::newRow("text field") << "Edit16";
  QTest::newRow("slider on another tab") << "TrackBar2";
}

void FileCommandsTest::keysRunTheFileCommands() {
  QFETCH(QString, focus);
  UseDialogs({Path("keys.qvx")}, {Path("keys")});
  form_->show();
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_.get()));
  auto* focused = form_->findChild<QWidget*>(focus);
  QVERIFY(focused != nullptr);
  if (focus == "TrackBar2") form_->PageControl1->setCurrentIndex(2);
  focused->setFocus();
  form_->Settings().SetListIndex("ComboBox11", 3);
  const QString captions = form_->N2->text() + "|" + form_->N3->text();

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(messages_, (std::vector<Message>{{"Файл успешно сохранен", "Сохранение"}}));
  QVERIFY(QFile::exists(QString::fromStdString(Path("keys.qvx"))));

  form_->Settings().SetListIndex("ComboBox11", 0);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
  QCOMPARE(form_->Controls().List("ComboBox11")->currentIndex(), 3);  // what was saved came back
  QCOMPARE(messages_.size(), 1u);
  QCOMPARE(form_->N2->text() + "|" + form_->N3->text(), captions);  // no mnemonic added
  QCOMPARE(captions, QString("Открыть|Сохранить"));
}

QVX_TEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
