// quorvex-cli archive as an installer runs it: a folder of files brought in,
// listed, searched, shown and exported, and the files it refuses.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "config_file/settings_line.h"
#include "settings/memory_settings.h"
#include "tests/support/scratch_folder.h"

namespace qvx::cli {
namespace {

namespace fs = std::filesystem;

struct Ran {
  int status = -1;
  std::string out;
  std::string err;
};

class CliArchive : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }

  Ran Run(std::vector<std::string> args) {
    args.insert(args.begin(), QUORVEX_CLI_PROGRAM);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string out = Path("out.txt"), err = Path("err.txt");
    const pid_t pid = fork();
    if (pid == 0) {
      const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out_fd < 0 || err_fd < 0 || dup2(out_fd, 1) < 0 || dup2(err_fd, 2) < 0) _exit(120);
      execv(argv[0], argv.data());
      _exit(122);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            ScratchFolder::Contents(out), ScratchFolder::Contents(err)};
  }

  // A settings file whose first subscriber is `phone`.
  void WriteQvx(const std::string& path, const std::string& phone) {
    MemorySettings settings;
    settings.SetText("Edit16", phone);
    ScratchFolder::Write(path, BuildSettingsLine(settings).line + "\r\n");
  }

  static void RawSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }

  static std::size_t Lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }

  ScratchFolder folder_{"cli-archive-" +
                        std::string(testing::UnitTest::GetInstance()->current_test_info()->name())};
};

TEST_F(CliArchive, FolderOfFilesIsImportedOnceListedSearchedShownAndExported) {
  const std::string files = Path("Объекты 2026");
  fs::create_directory(files);
  WriteQvx(files + "/Иванов И. И.qvx", "+7 (916) 123-45-67");
  WriteQvx(files + "/склад на Ленина.QVX", "+7 495 765-43-21");
  ScratchFolder::Write(files + "/заметки.txt", "not settings");
  const std::string archive = Path("архив объектов.qvxa");

  const Ran first = Run({"archive", "import", archive, files});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_NE(first.out.find("Иванов И. И.qvx: новый объект 1\n"), std::string::npos) << first.out;
  EXPECT_NE(first.out.find("Новых объектов: 2, обновлено: 0, без изменений: 0\n"),
            std::string::npos);
  const Ran again = Run({"archive", "import", archive, files});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("Новых объектов: 0, обновлено: 0, без изменений: 2\n"),
            std::string::npos);

  const Ran list = Run({"archive", "list", archive});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(Lines(list.out), 2u);
  EXPECT_TRUE(list.out.starts_with("2  склад на Ленина  ")) << list.out;  // newest first
  const Ran found = Run({"archive", "list", archive, "--search", "916123"});
  EXPECT_TRUE(found.out.starts_with("1  Иванов И. И  ")) << found.out;
  EXPECT_EQ(Lines(found.out), 1u);
  const Ran by_name = Run({"archive", "list", archive, "--search", "ЛЕНИНА", "--json"});
  EXPECT_NE(by_name.out.find("\"number\": \"2\""), std::string::npos) << by_name.out;
  EXPECT_EQ(by_name.out.find("\"number\": \"1\""), std::string::npos);

  const Ran show = Run({"archive", "show", archive, "1"});
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_NE(show.out.find("Название: Иванов И. И\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("Журнал (1):\n"), std::string::npos);
  EXPECT_NE(show.out.find("Импорт  файл Иванов И. И.qvx"), std::string::npos);

  const Ran exported = Run({"archive", "export", archive, "1", "-o", Path("назад")});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(ScratchFolder::Contents(Path("назад.qvx")),
            ScratchFolder::Contents(files + "/Иванов И. И.qvx"));
}

TEST_F(CliArchive, AnotherArchiveIsMergedWithoutDuplicates) {
  WriteQvx(Path("a.qvx"), "111");
  WriteQvx(Path("b.qvx"), "222");
  ASSERT_EQ(Run({"archive", "import", Path("one.qvxa"), Path("a.qvx")}).status, 0);
  fs::copy_file(Path("one.qvxa"), Path("two.qvxa"));
  ASSERT_EQ(Run({"archive", "import", Path("two.qvxa"), Path("b.qvx")}).status, 0);
  for (int round = 0; round < 2; ++round) {
    const Ran merged = Run({"archive", "import", Path("one.qvxa"), Path("two.qvxa")});
    ASSERT_EQ(merged.status, 0) << merged.err;
  }
  EXPECT_EQ(Lines(Run({"archive", "list", Path("one.qvxa")}).out), 2u);
  EXPECT_NE(Run({"archive", "show", Path("one.qvxa"), "2"}).out.find("Журнал (1):"),
            std::string::npos);
}

TEST_F(CliArchive, RefusalsNameTheFileAndTheCause) {
  WriteQvx(Path("ok.qvx"), "111");
  ScratchFolder::Write(Path("bad.qvx"), "не настройки\r\n");
  ScratchFolder::Write(Path("damaged.qvxa"), std::string(4096, 'x'));
  ASSERT_EQ(Run({"archive", "import", Path("newer.qvxa"), Path("ok.qvx")}).status, 0);
  RawSql(Path("newer.qvxa"), "PRAGMA user_version = 9");
  const std::string good = Path("good.qvxa");
  ASSERT_EQ(Run({"archive", "import", good, Path("ok.qvx")}).status, 0);
  // Another archive, its header whole and its tables' page overwritten.
  std::string torn = ScratchFolder::Contents(good);
  ASSERT_GT(torn.size(), 8192u);
  std::fill(torn.begin() + 4096, torn.begin() + 8192, 'Z');
  ScratchFolder::Write(Path("torn.qvxa"), torn);
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;  // what stderr starts with
  } cases[] = {
      {{"archive"}, 2, "quorvex-cli archive: не указано действие"},
      {{"archive", "list"}, 2, "quorvex-cli archive: не указан файл архива"},
      {{"archive", "sort", good}, 2, "quorvex-cli archive: неизвестное действие \"sort\""},
      {{"archive", "export", good, "1"}, 2, "quorvex-cli archive: не указан файл настроек"},
      {{"archive", "list", good, "--all"}, 2, "quorvex-cli archive: неизвестный параметр"},
      {{"archive", "list", Path("missing.qvxa")},
       1,
       "quorvex-cli archive: " + Path("missing.qvxa") + ": нет такого файла\n"},
      {{"archive", "list", Path("damaged.qvxa")},
       1,
       "quorvex-cli archive: " + Path("damaged.qvxa") +
           ": файл повреждён или не является базой данных\n"},
      {{"archive", "import", Path("damaged.qvxa"), Path("ok.qvx")},
       1,
       "quorvex-cli archive: " + Path("damaged.qvxa") +
           ": файл повреждён или не является базой данных\n"},
      {{"archive", "import", Path("newer.qvxa"), Path("ok.qvx")},
       1,
       "quorvex-cli archive: " + Path("newer.qvxa") +
           ": архив записан более новой версией программы (версия архива 9"},
      {{"archive", "show", Path("newer.qvxa"), "1"},
       1,
       "quorvex-cli archive: " + Path("newer.qvxa") + ": архив записан более новой"},
      {{"archive", "show", good, "99"},
       1,
       "quorvex-cli archive: " + good + ": нет объекта с номером 99\n"},
      {{"archive", "import", good, Path("nowhere")},
       1,
       "quorvex-cli archive: " + Path("nowhere") + ": нет такого файла или папки\n"},
      {{"archive", "import", good, Path("bad.qvx")},
       1,
       "quorvex-cli archive: " + Path("bad.qvx") + ": Некорректный файл\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : c.args[0]);
    const std::string before = ScratchFolder::Contents(Path("damaged.qvxa"));
    const Ran ran = Run(c.args);
    EXPECT_EQ(ran.status, c.status);
    EXPECT_TRUE(ran.err.starts_with(c.err)) << ran.err;
    EXPECT_EQ(ScratchFolder::Contents(Path("damaged.qvxa")), before);
  }
  EXPECT_EQ(Lines(Run({"archive", "list", good}).out), 1u);  // the refused files added nothing
  const Ran help = Run({"archive", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("использование: quorvex-cli archive list")) << help.out;
}

// Another program's transaction holds the file: refused once the wait is
// over, and nothing imported.
TEST_F(CliArchive, LockedArchiveIsRefused) {
  WriteQvx(Path("ok.qvx"), "111");
  const std::string archive = Path("a.qvxa");
  ASSERT_EQ(Run({"archive", "import", archive, Path("ok.qvx")}).status, 0);
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(archive.c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  WriteQvx(Path("new.qvx"), "222");
  const Ran ran = Run({"archive", "import", archive, Path("new.qvx")});
  sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(ran.status, 1);
  EXPECT_EQ(ran.err, "quorvex-cli archive: " + archive +
                         ": архив занят другой программой: файл заблокирован\n");
  EXPECT_EQ(Lines(Run({"archive", "list", archive}).out), 1u);
}

}  // namespace
}  // namespace qvx::cli
