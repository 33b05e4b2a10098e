// quorvex-cli --server against a real quorvex-server on SQLite, started on a
// free loopback port in a scratch folder: the archive's commands, write and
// read journaled on the server, and the server's refusals, its absence and
// a certificate nobody vouches for.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "archive/records.h"
#include "cli/archive_journal.h"
#include "cli/server_login.h"
#include "config_file/cp1251.h"
#include "config_file/settings_line.h"
#include "settings/memory_settings.h"
#include "sim/pty_device.h"
#include "tests/support/program_run.h"
#include "tests/support/scratch_folder.h"

namespace qvx {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPassword = "пароль-123";

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The settings line of the defaults with the first subscriber `phone`.
std::string LineWithPhone(const std::string& phone) {
  MemorySettings settings;
  settings.SetText("Edit16", phone);
  return BuildSettingsLine(settings).line;
}

class CliServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder_.Root() / "page");
    fs::create_directories(folder_.Root() / "home");
    ScratchFolder::Write(Path("page/index.html"), "<!doctype html><title>Quorvex</title>");
    // Nothing of the login may land in the user's folders.
    setenv("HOME", Path("home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", Path("home").c_str(), 1);
    setenv("QUORVEX_PASSWORD", kPassword, 1);
    unsetenv("QUORVEX_USER");
    AddUser("Петров", "installer");
  }

  void TearDown() override { Stop(); }

  std::string Path(const std::string& name) const { return folder_.Path(name); }

  // Runs `argv` with `input` on stdin, stdout and stderr kept.
  test::Ran Run(std::vector<std::string> argv, const std::string& input = "") {
    const std::string in = Path("stdin");
    ScratchFolder::Write(in, input);
    return test::RunProgram(std::move(argv), {Path("out"), -1, Path("err"), [in] {
                                                const int fd = open(in.c_str(), O_RDONLY);
                                                return fd >= 0 && dup2(fd, STDIN_FILENO) == 0;
                                              }});
  }

  test::Ran Cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), QUORVEX_CLI_PROGRAM);
    return Run(std::move(args), input);
  }

  // The same with the server and the installer's name after `args`.
  test::Ran OnServer(std::vector<std::string> args) {
    args.insert(args.end(), {"--server", url_, "--user", "Петров"});
    return Cli(std::move(args));
  }

  void AddUser(const std::string& name, const std::string& role) {
    const test::Ran added =
        Run({QUORVEX_SERVER_PROGRAM, "--data", Path("data"), "user", "add", name, "--role", role},
            std::string(kPassword) + "\n");
    ASSERT_EQ(added.status, 0) << added.err;
  }

  // Starts the server (with `args`) on a free port; url_ is then its address.
  void Start(std::vector<std::string> args = {}, const std::string& scheme = "http",
             const std::string& listen = "127.0.0.1:0") {
    args.insert(args.begin(), {QUORVEX_SERVER_PROGRAM, "--listen", listen, "--page", Path("page"),
                               "--data", Path("data")});
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    pid_ = test::StartProgram(args, {"", ends[1], Path("server-err")});
    close(ends[1]);
    std::string line;
    char c = 0;
    while (read(ends[0], &c, 1) == 1 && c != '\n') line += c;
    close(ends[0]);
    // "quorvex-server: слушает http://127.0.0.1:PORT, база данных: ..."
    const std::string address = line.substr(0, line.find(','));
    const std::size_t colon = address.rfind(':');
    ASSERT_TRUE(Holds(line, "слушает") && colon != std::string::npos)
        << line << ScratchFolder::Contents(Path("server-err"));
    url_ = scheme + "://127.0.0.1:" + address.substr(colon + 1);
  }

  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    test::WaitProgram(pid_);
    pid_ = -1;
  }

  nlohmann::json ShownJson(const std::string& number) {
    const test::Ran shown = OnServer({"archive", "show", number, "--json"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    return nlohmann::json::parse(shown.out, nullptr, false);
  }

  // The journal of object 1 that write and read keep, opened as `user`.
  std::unique_ptr<cli::ObjectJournal> OpenJournal(const std::string& user) {
    cli::ParsedArgs parsed;
    const std::string problem = cli::ParseArgs(
        {"--server", url_, "--user", user, "--object", "1"},
        std::vector<cli::OptionSpec>{cli::kServerOption, cli::kUserOption, cli::kObjectOption}, 0,
        parsed);
    EXPECT_EQ(problem, "");
    std::string failure;
    bool usage = false;
    std::unique_ptr<cli::ObjectJournal> journal = cli::ObjectJournal::Open(parsed, failure, usage);
    EXPECT_TRUE(journal) << failure;
    return journal;
  }

  static std::string Written(cli::ObjectJournal& journal, const std::string& line) {
    return journal.Add("/dev/ttyUSB0", std::string(archive::kWriteCommand), device::Outcome::Sent,
                       device::Cause::None, "отправлено", line);
  }

  ScratchFolder folder_{"cli-server-" +
                        std::string(testing::UnitTest::GetInstance()->current_test_info()->name())};
  std::string url_;
  pid_t pid_ = -1;
};

TEST_F(CliServerTest, ImportListAndShowGoThroughTheServerAndAddNothingTwice) {
  Start();
  const std::string files = Path("Объекты");
  fs::create_directory(files);
  ScratchFolder::Write(files + "/Иванов.qvx", LineWithPhone("+7 (916) 123-45-67") + "\r\n");
  ScratchFolder::Write(files + "/Склад.qvx", LineWithPhone("+7 495 765-43-21") + "\r\n");
  // Another installer's archive file, with an object of its own.
  ScratchFolder::Write(Path("Сидоров.qvx"), LineWithPhone("+7 903 000-00-01") + "\r\n");
  const test::Ran local = Cli({"archive", "import", Path("other.qvxa"), Path("Сидоров.qvx")});
  ASSERT_EQ(local.status, 0) << local.err;

  const test::Ran first = OnServer({"archive", "import", files, Path("other.qvxa")});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_TRUE(Holds(first.out, "Иванов.qvx: новый объект 1\n")) << first.out;
  EXPECT_TRUE(Holds(first.out, "Склад.qvx: новый объект 2\n")) << first.out;
  EXPECT_TRUE(Holds(first.out, "other.qvxa: объектов добавлено 1")) << first.out;
  // The merged card's number 1 is taken by Иванов: it keeps its data under a free one.
  EXPECT_TRUE(Holds(first.out, "(Сидоров)")) << first.out;

  // Again: the same files and the same archive add no object and no entry.
  const test::Ran again = OnServer({"archive", "import", files, Path("other.qvxa")});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(Holds(again.out, "без изменений: 2")) << again.out;
  EXPECT_TRUE(Holds(again.out, "объектов добавлено 0")) << again.out;

  const test::Ran listed = OnServer({"archive", "list", "--json"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const nlohmann::json objects = nlohmann::json::parse(listed.out);
  ASSERT_EQ(objects.size(), 3u) << listed.out;
  std::map<std::string, std::string> names;
  for (const nlohmann::json& object : objects) {
    EXPECT_FALSE(object.contains("settings"));
    names[object.at("name")] = object.at("number");
  }
  EXPECT_EQ(names["Иванов"], "1");
  EXPECT_EQ(names["Склад"], "2");
  EXPECT_EQ(names["Сидоров"], "1/2");

  const test::Ran searched = OnServer({"archive", "list", "--search", "9161234567"});
  ASSERT_EQ(searched.status, 0) << searched.err;
  EXPECT_TRUE(searched.out.starts_with("1  Иванов")) << searched.out;
  EXPECT_EQ(std::count(searched.out.begin(), searched.out.end(), '\n'), 1);

  for (const auto& [number, name] : {std::pair{"1", "Иванов"}, {"1/2", "Сидоров"}}) {
    const nlohmann::json card = ShownJson(number);
    EXPECT_EQ(card.at("name"), name);
    ASSERT_EQ(card.at("journal").size(), 1u) << number << ": " << card.dump();
    EXPECT_EQ(card.at("journal")[0].at("command"), "Импорт");
  }
  EXPECT_EQ(ShownJson("1").at("journal")[0].at("installer"), "Петров");
  const test::Ran shown = OnServer({"archive", "show", "2"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_TRUE(shown.out.starts_with("Объект: 2\nНазвание: Склад\n")) << shown.out;
  EXPECT_TRUE(Holds(shown.out, "Журнал (1):\n")) << shown.out;

  EXPECT_TRUE(fs::is_empty(Path("home"))) << "the login left a file behind";
  // Every command's session ended by its own logout, not left to time out.
  Stop();
  const std::string log = ScratchFolder::Contents(Path("server-err"));
  const auto count = [&](const std::string& line) {
    std::size_t n = 0;
    for (std::size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("POST /api/login 200"), 8u) << log;  // 2 imports, 2 lists, 4 shows
  EXPECT_EQ(count("POST /api/logout 204"), 8u) << log;
}

// More than one request holds: the import goes in several, every object
// arrives, and the list says how many it did not show.
TEST_F(CliServerTest, AnImportLargerThanOneRequestArrivesWhole) {
  Start();
  const std::string files = Path("many");
  fs::create_directory(files);
  constexpr int kFiles = 501;  // past the 500 records of each kind one request carries
  for (int i = 0; i < kFiles; ++i)
    ScratchFolder::Write(files + "/site " + std::to_string(i) + ".qvx",
                         LineWithPhone("+7916" + std::to_string(1000000 + i)) + "\r\n");
  const test::Ran imported = OnServer({"archive", "import", files});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_TRUE(Holds(imported.out, "На сервер отправлено карточек и записей журнала: 1002\n"))
      << imported.out.substr(imported.out.size() - 200);

  const test::Ran listed = OnServer({"archive", "list"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 200);
  EXPECT_EQ(listed.err,
            "quorvex-cli archive: показаны первые 200, ещё 301: уточните поиск (--search)\n");
  EXPECT_EQ(ShownJson(std::to_string(kFiles)).at("journal").size(), 1u);
}

// write and read with --server: each port's line journaled on the server
// under the object, the card taking what the device took.
TEST_F(CliServerTest, WriteAndReadJournalEachPortOnTheServer) {
  Start();
  ScratchFolder::Write(Path("Иванов.qvx"), LineWithPhone("+79160000000") + "\r\n");
  ASSERT_EQ(OnServer({"archive", "import", Path("Иванов.qvx")}).status, 0);
  MemorySettings wanted;
  wanted.SetText("Edit16", "+79001234567");
  wanted.SetText("Edit25", "5555");
  ScratchFolder::Write(Path("set.qvx"), BuildSettingsLine(wanted).line + "\r\n");
  sim::SimOptions quick;
  quick.reply_delay = std::chrono::milliseconds(0);
  sim::PtyDevice device({}, quick);

  const test::Ran written = OnServer({"write", Path("set.qvx"), "--port", device.Path(), "--port",
                                      Path("ttyUSB9"), "--object", "1"});
  EXPECT_EQ(written.status, 1) << written.err;  // the missing port
  const test::Ran read =
      OnServer({"read", "--port", device.Path(), "-o", Path("read.qvx"), "--object", "1"});
  EXPECT_EQ(read.status, 0) << read.err;
  // The device answered the read after the frame before it: it holds the write.
  EXPECT_EQ(device.Settings().Text("Edit25"), "5555");

  const nlohmann::json card = ShownJson("1");
  const nlohmann::json& journal = card.at("journal");
  ASSERT_EQ(journal.size(), 4u) << card.dump();
  std::map<std::string, nlohmann::json> by_outcome;
  for (const nlohmann::json& entry : journal) by_outcome[entry.at("outcome")] = entry;
  const nlohmann::json& sent = by_outcome["sent"];
  EXPECT_EQ(sent.at("command"), "Записать");
  EXPECT_EQ(sent.at("port"), device.Path());
  EXPECT_EQ(sent.at("installer"), "Петров");
  EXPECT_EQ(sent.at("differing"), 2);  // the phone and the code, against the imported file
  EXPECT_EQ(by_outcome["cannotOpen"].at("outcomeText"), "ошибка: нет такого устройства");
  const nlohmann::json& taken = by_outcome["readSuccess"];
  EXPECT_EQ(taken.at("differing"), 0);  // the write made them the object's already
  EXPECT_EQ(card.at("settings"), taken.at("settings"));
  EXPECT_EQ(card.at("settings"), sent.at("settings"));
  EXPECT_EQ(card.at("version"), 2);
}

// Two installers write one object at once: the second finds the card changed
// on the server since he opened it, takes the server's and gives it his
// device's settings again; both entries stay, nothing is overwritten unseen.
TEST_F(CliServerTest, ACardChangedMeanwhileTakesTheLastDevicesSettings) {
  Start();
  AddUser("Сидоров", "installer");
  ScratchFolder::Write(Path("Иванов.qvx"), LineWithPhone("+79160000000") + "\r\n");
  ASSERT_EQ(OnServer({"archive", "import", Path("Иванов.qvx")}).status, 0);
  const std::unique_ptr<cli::ObjectJournal> first = OpenJournal("Петров");
  const std::unique_ptr<cli::ObjectJournal> second = OpenJournal("Сидоров");
  ASSERT_TRUE(first && second);
  const std::string mine = LineWithPhone("+79001111111"), theirs = LineWithPhone("+79002222222");
  EXPECT_EQ(Written(*first, mine), "");
  EXPECT_EQ(first->Finish(), "");
  EXPECT_EQ(Written(*second, theirs), "");
  EXPECT_EQ(second->Finish(), "");

  const nlohmann::json card = ShownJson("1");
  EXPECT_EQ(card.at("settings"), Cp1251ToUtf8(theirs)) << "the device written last";
  EXPECT_EQ(card.at("version"), 3);
  EXPECT_EQ(card.at("changedBy"), "Сидоров");
  ASSERT_EQ(card.at("journal").size(), 3u) << card.dump();
  EXPECT_EQ(card.at("journal")[1].at("installer"), "Петров");
  EXPECT_EQ(card.at("journal")[2].at("installer"), "Сидоров");
}

// A server gone between the object's card and the device's result: the
// entry waits, goes with the next once the server is back, and arrives once.
TEST_F(CliServerTest, AnEntryTheServerMissedGoesWithTheNextAndOnce) {
  Start();
  ScratchFolder::Write(Path("Иванов.qvx"), LineWithPhone("+79160000000") + "\r\n");
  ASSERT_EQ(OnServer({"archive", "import", Path("Иванов.qvx")}).status, 0);
  const std::unique_ptr<cli::ObjectJournal> journal = OpenJournal("Петров");
  ASSERT_TRUE(journal);
  const std::string port = url_.substr(url_.rfind(':') + 1);

  Stop();
  EXPECT_EQ(Written(*journal, LineWithPhone("+79001111111")), "");
  EXPECT_EQ(journal->Finish(), "сервер " + url_ +
                                   ": нет связи с сервером (соединение не установлено) (не "
                                   "отправлено записей журнала: 1)");

  Start({}, "http", "127.0.0.1:" + port);  // the same database, the session still valid
  const std::string last = LineWithPhone("+79002222222");
  EXPECT_EQ(Written(*journal, last), "");
  EXPECT_EQ(journal->Finish(), "");
  const nlohmann::json card = ShownJson("1");
  ASSERT_EQ(card.at("journal").size(), 3u) << card.dump();
  EXPECT_EQ(card.at("settings"), Cp1251ToUtf8(last));
  EXPECT_EQ(card.at("version"), 3);
}

TEST_F(CliServerTest, RefusalsComeInTheServersWordsNamingIt) {
  Start();
  ScratchFolder::Write(Path("Иванов.qvx"), LineWithPhone("+79160000000") + "\r\n");
  ASSERT_EQ(OnServer({"archive", "import", Path("Иванов.qvx")}).status, 0);
  sim::PtyDevice device;
  const std::string before = BuildSettingsLine(device.Settings()).line;
  ScratchFolder::Write(Path("set.qvx"), LineWithPhone("+79001234567") + "\r\n");
  const std::string server = "сервер " + url_ + ": ";
  struct Case {
    std::vector<std::string> args;
    std::string password;
    std::string said;  // the whole of stderr
  };
  const Case cases[] = {
      {{"archive", "list"},
       "неверный-пароль",
       "quorvex-cli archive: " + server + "неверное имя или пароль\n"},
      {{"archive", "show", "99"},
       kPassword,
       "quorvex-cli archive: " + server + "нет объекта с номером 99\n"},
      {{"write", Path("set.qvx"), "--port", device.Path(), "--object", "99"},
       kPassword,
       "quorvex-cli write: " + server + "нет объекта с номером 99\n"},
      {{"read", "--port", device.Path(), "-o", Path("r.qvx"), "--object", "17/2 ?&#"},
       kPassword,
       "quorvex-cli read: " + server + "нет объекта с номером 17/2 ?&#\n"},
  };
  for (const Case& c : cases) {
    setenv("QUORVEX_PASSWORD", c.password.c_str(), 1);
    const test::Ran ran = OnServer(c.args);
    EXPECT_EQ(ran.status, 1) << c.args[0] << ": " << ran.err;
    EXPECT_EQ(ran.err, c.said) << c.args[0];
  }
  // Refused before the device was touched, and nothing read was saved.
  EXPECT_EQ(BuildSettingsLine(device.Settings()).line, before);
  EXPECT_FALSE(fs::exists(Path("r.qvx")));

  // The password from standard input when the environment has none, the
  // name from the environment when no --user is given.
  unsetenv("QUORVEX_PASSWORD");
  setenv("QUORVEX_USER", "Петров", 1);
  const test::Ran piped = Cli({"archive", "list", "--server", url_}, std::string(kPassword) + "\n");
  unsetenv("QUORVEX_USER");
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(piped.out.starts_with("1  Иванов")) << piped.out;

  // A server gone: the same commands fail naming it, nothing sent to the device.
  Stop();
  setenv("QUORVEX_PASSWORD", kPassword, 1);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"archive", "list"},
        {"write", Path("set.qvx"), "--port", device.Path(), "--object", "1"}}) {
    const test::Ran down = OnServer(args);
    EXPECT_EQ(down.status, 1) << args[0];
    EXPECT_EQ(down.err, "quorvex-cli " + args[0] + ": " + server +
                            "нет связи с сервером (соединение не установлено)\n");
  }
  EXPECT_EQ(BuildSettingsLine(device.Settings()).line, before);
}

// A file whose object has other settings changes the card: beyond an
// installer's role, refused whole in the server's words, with what did not
// arrive counted; a senior installer's import of it is taken.
TEST_F(CliServerTest, AnImportBeyondTheRoleIsRefusedWholeAndCounted) {
  Start();
  AddUser("Сидоров", "senior");
  ScratchFolder::Write(Path("Иванов.qvx"), LineWithPhone("+79160000000") + "\r\n");
  ASSERT_EQ(OnServer({"archive", "import", Path("Иванов.qvx")}).status, 0);
  ScratchFolder::Write(Path("Иванов.qvx"), LineWithPhone("+79169999999") + "\r\n");
  ScratchFolder::Write(Path("Склад.qvx"), LineWithPhone("+79160000001") + "\r\n");

  const test::Ran refused = OnServer({"archive", "import", Path("Иванов.qvx"), Path("Склад.qvx")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "quorvex-cli archive: сервер " + url_ +
                             ": недостаточно прав: установщик меняет карточку объекта только "
                             "записью в журнал\nquorvex-cli archive: сервер " +
                             url_ + ": не отправлено карточек: 2, записей журнала: 2\n");
  EXPECT_EQ(ShownJson("1").at("journal").size(), 1u);
  EXPECT_EQ(OnServer({"archive", "show", "2"}).status, 1);  // the request kept out whole

  const test::Ran senior = Cli({"archive", "import", Path("Иванов.qvx"), Path("Склад.qvx"),
                                "--server", url_, "--user", "Сидоров"});
  EXPECT_EQ(senior.status, 0) << senior.err;
  EXPECT_TRUE(Holds(senior.out, "Иванов.qvx: настройки объекта обновлены 1\n")) << senior.out;
  const nlohmann::json card = ShownJson("1");
  EXPECT_EQ(card.at("journal").size(), 2u);
  EXPECT_EQ(card.at("settings"), Cp1251ToUtf8(LineWithPhone("+79169999999")));
}

TEST_F(CliServerTest, UsageErrorsExitTwoBeforeAnyServerIsAsked) {
  ScratchFolder::Write(Path("set.qvx"), LineWithPhone("+79001234567") + "\r\n");
  const std::string url = "http://127.0.0.1:1";
  struct Case {
    std::vector<std::string> args;
    std::string said;
  };
  const Case cases[] = {
      {{"write", Path("set.qvx"), "--port", "ttyUSB0", "--server", url, "--archive", "a.qvxa",
        "--object", "1"},
       "--server и --archive вместе не задаются"},
      {{"write", Path("set.qvx"), "--port", "ttyUSB0", "--object", "1"},
       "--object действует только вместе с --archive или --server"},
      {{"read", "--port", "ttyUSB0", "-o", "x.qvx", "--server", url},
       "--server действует только вместе с --object"},
      {{"archive", "list", "--user", "Петров"}, "--user действует только вместе с --server"},
      {{"archive", "list", "a.qvxa", "--server", url}, "с --server файл архива не нужен"},
      {{"archive", "list", "--server", "ftp://host"}, "адрес сервера: нужен http://"},
      {{"archive", "list", "--server", "http://host:70000"}, "адрес сервера: неверный порт"},
      {{"archive", "list", "--server", "http://host/api"}, "без пути"},
      {{"archive", "list", "--server", url, "--ca-file", "ca.pem"},
       "--ca-file действует только с адресом https://"},
      {{"archive", "export", "1", "-o", "x.qvx", "--server", url}, "неизвестный параметр"},
      {{"archive", "show", "--server", url}, "нужен номер объекта"},
      {{"archive", "list", "--server", url}, "не указано имя на сервере (--user ИМЯ"},
  };
  for (const Case& c : cases) {
    const test::Ran ran = Cli(c.args);
    EXPECT_EQ(ran.status, 2) << c.args[1] << ": " << ran.err;
    EXPECT_TRUE(Holds(ran.err, c.said)) << c.args[1] << ": " << ran.err;
    EXPECT_FALSE(Holds(ran.err, "нет связи")) << c.args[1];
  }
  unsetenv("QUORVEX_PASSWORD");
  const test::Ran no_password = Cli({"archive", "list", "--server", url, "--user", "Петров"});
  EXPECT_EQ(no_password.status, 2);
  EXPECT_TRUE(Holds(no_password.err, "нет пароля")) << no_password.err;
}

// https:// with a certificate nobody vouches for is refused; --ca-file trusts it.
TEST_F(CliServerTest, AnUntrustedCertificateIsRefusedUnlessGivenAsTrusted) {
  const std::string cert = Path("cert.pem"), key = Path("key.pem");
  const test::Ran made = Run({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days",
                              "1", "-subj", "/CN=127.0.0.1", "-addext",
                              "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert});
  if (made.status != 0) GTEST_SKIP() << "openssl: " << made.err;
  Start({"--tls-cert", cert, "--tls-key", key}, "https");

  const test::Ran refused = OnServer({"archive", "list"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "quorvex-cli archive: сервер " + url_ +
                             ": сертификат сервера не заверен доверенным центром сертификации "
                             "(--ca-file ФАЙЛ: доверять сертификату из файла)\n");
  const test::Ran trusted = OnServer({"archive", "list", "--ca-file", cert});
  EXPECT_EQ(trusted.status, 0) << trusted.err;
  const test::Ran no_file = OnServer({"archive", "list", "--ca-file", Path("none.pem")});
  EXPECT_EQ(no_file.status, 1);
  EXPECT_TRUE(Holds(no_file.err, "none.pem: нет такого файла сертификата")) << no_file.err;
}

}  // namespace
}  // namespace qvx
