// The window's command line: what each word asks for, and the program's
// answers to --help, --version and an unknown option, given without a
// display so that a window could not open.
#include <QTemporaryDir>
#include <cstdlib>

#include "app/tests/test_support.h"
#include "app/window_arguments.h"
#include "tests/support/program_run.h"

using Action = qvx::WindowArguments::Action;
Q_DECLARE_METATYPE(Action)

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void wordsAreParsed_data();
  void wordsAreParsed();
  void answersWithoutWindow_data();
  void answersWithoutWindow();
};

void CommandLineTest::wordsAreParsed_data() {
  QTest::addColumn<QStringList>("words");
  QTest::addColumn<Action>("action");
  QTest::addColumn<QString>("file");  // "" for none
  QTest::addColumn<QString>("error");
  QTest::newRow("nothing") << QStringList{} << Action::OpenWindow << ""
                           << "";
  QTest::newRow("a file") << QStringList{"set.qvx"} << Action::OpenWindow << "set.qvx"
                          << "";
  QTest::newRow("the first of two files")
      << QStringList{"a.qvx", "b.qvx"} << Action::OpenWindow << "a.qvx"
      << "";
  QTest::newRow("help") << QStringList{"--help"} << Action::Help << ""
                        << "";
  QTest::newRow("version") << QStringList{"--version"} << Action::Version << ""
                           << "";
  QTest::newRow("help beside a file")
      << QStringList{"set.qvx", "--help"} << Action::Help << "set.qvx"
      << "";
  QTest::newRow("help wins over version")
      << QStringList{"--version", "--help"} << Action::Help << ""
      << "";
  QTest::newRow("an unknown option wins over help")
      << QStringList{"--help", "-x"} << Action::UsageError << ""
      << "quorvex: неизвестный параметр \"-x\"";
  QTest::newRow("the first unknown option is named")
      << QStringList{"--open", "-v"} << Action::UsageError << ""
      << "quorvex: неизвестный параметр \"--open\"";
  QTest::newRow("a lone dash is an option") << QStringList{"-"} << Action::UsageError << ""
                                            << "quorvex: неизвестный параметр \"-\"";
  QTest::newRow("--help=x is no --help") << QStringList{"--help=x"} << Action::UsageError << ""
                                         << "quorvex: неизвестный параметр \"--help=x\"";
  QTest::newRow("after --, words with - are files")
      << QStringList{"--", "-set.qvx", "--help"} << Action::OpenWindow << "-set.qvx"
      << "";
  QTest::newRow("options before -- still count")
      << QStringList{"--version", "--", "--help"} << Action::Version << "--help"
      << "";
}

void CommandLineTest::wordsAreParsed() {
  QFETCH(QStringList, words);
  QFETCH(Action, action);
  QFETCH(QString, file);
  QFETCH(QString, error);
  std::vector<std::string> bytes;
  for (const QString& word : words) bytes.push_back(word.toStdString());
  const qvx::WindowArguments parsed = qvx::ParseWindowArguments(bytes);
  QCOMPARE(parsed.action, action);
  QCOMPARE(QString::fromStdString(parsed.file.value_or("")), file);
  QCOMPARE(QString::fromStdString(parsed.error), error);
}

void CommandLineTest::answersWithoutWindow_data() {
  QTest::addColumn<QStringList>("words");
  QTest::addColumn<int>("status");
  QTest::addColumn<QByteArray>("out");
  QTest::addColumn<QByteArray>("err");
  const QByteArray usage = QByteArray::fromStdString(qvx::WindowUsage());
  QTest::newRow("help") << QStringList{"--help"} << 0 << usage << QByteArray();
  QTest::newRow("version") << QStringList{"--version"} << 0 << QByteArray("Quorvex 1.0.6.6\n")
                           << QByteArray();
  QTest::newRow("unknown option") << QStringList{"--verbose", "set.qvx"} << 2 << QByteArray()
                                  << "quorvex: неизвестный параметр \"--verbose\"\n" + usage;
}

void CommandLineTest::answersWithoutWindow() {
  QFETCH(QStringList, words);
  QFETCH(int, status);
  QFETCH(QByteArray, out);
  QFETCH(QByteArray, err);
  QVERIFY(qvx::WindowUsage().starts_with("Использование: quorvex"));
  const QTemporaryDir folder;
  QVERIFY(folder.isValid());
  std::vector<std::string> argv{QUORVEX_WINDOW_PROGRAM};
  for (const QString& word : words) argv.push_back(word.toStdString());
  qvx::test::ProgramIo io{.out = folder.filePath("out.txt").toStdString(),
                          .err = folder.filePath("err.txt").toStdString()};
  // No display at all: a program that tried to open its window would fail.
  io.before_exec = [] {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
    return true;
  };
  const qvx::test::Ran ran = qvx::test::RunProgram(std::move(argv), io);
  QCOMPARE(QByteArray::fromStdString(ran.err), err);
  QCOMPARE(QByteArray::fromStdString(ran.out), out);
  QCOMPARE(ran.status, status);  // a crash gives 128 + its signal
}

QVX_TEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
