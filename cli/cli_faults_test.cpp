// quorvex-cli as a script or a person runs it: a separate process, its
// output to files, under the faults a shell can arrange.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/pty_test_support.h"
#include "tests/support/scratch_folder.h"

namespace qvx::cli {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

const std::string kDefaultLine =
    "000000:111111:111111:000000:000000:100050:111111:123911:101111:111110:000000:111111:001107:"
    "110400:000000:+380501234567:+380501234567:+380501234567:+380501234567:+380501234567:"
    "+380501234567:+380501234567:+380501234567:+380501234567:7391:000:111:222:333:20198:#";
const std::string kDefaultReply =
    "\r\n111111:111111:111111:000000:000000:100050:111111:123911:101111:111111:000000:111111:"
    "001107:110400:000000:+380501234567:+380501234567:+380501234567:+380501234567:"
    "+380501234567:+380501234567:+380501234567:+380501234567:+380501234567:7391:000:111:222:"
    "333:20198:#\r\n";

struct Ran {
  int status = -1;  // exit code, or 128 + signal
  std::string out;
  std::string err;
};

struct How {
  std::string out = "out.txt";  // in the folder, or an absolute path
  bool no_file_size = false;    // as under "ulimit -f": no file beyond 200 bytes
  bool as_nobody = false;       // an ordinary user, when this test runs as root
};

class CliFaults : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }

  pid_t Start(std::vector<std::string> args, const How& how = {}) {
    how_ = how;
    args.insert(args.begin(), QUORVEX_CLI_PROGRAM);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string out = how.out.starts_with("/") ? how.out : Path(how.out);
    const std::string err = Path("err.txt");
    const pid_t pid = fork();
    if (pid == 0) {
      const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out_fd < 0 || err_fd < 0 || dup2(out_fd, 1) < 0 || dup2(err_fd, 2) < 0) _exit(120);
      if (how.no_file_size) {
        const rlimit small = {200, 200};  // room for the message, not for a file
        setrlimit(RLIMIT_FSIZE, &small);
      }
      if (how.as_nobody && getuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
        _exit(121);
      execv(argv[0], argv.data());
      _exit(122);
    }
    return pid;
  }

  Ran Finish(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    Ran ran;
    ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (!how_.out.starts_with("/")) ran.out = ScratchFolder::Contents(Path(how_.out));
    ran.err = ScratchFolder::Contents(Path("err.txt"));
    fs::remove(Path("err.txt"));
    if (!how_.out.starts_with("/")) fs::remove(Path(how_.out));
    return ran;
  }

  Ran Run(std::vector<std::string> args, const How& how = {}) {
    return Finish(Start(std::move(args), how));
  }

  ScratchFolder folder_{"cli-" +
                        std::string(testing::UnitTest::GetInstance()->current_test_info()->name())};
  How how_;
};

TEST_F(CliFaults, OutputThatCannotBeWrittenIsAFailure) {
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  ScratchFolder::Write(Path("reply.txt"), kDefaultReply);
  for (const std::vector<std::string>& args : {std::vector<std::string>{"show"},
                                               {"show", "--json"},
                                               {"frame", Path("def.qvx")},
                                               {"decode", Path("reply.txt")}}) {
    const Ran ran = Run(args, {.out = "/dev/full"});
    EXPECT_EQ(ran.status, 1) << args[0];
    EXPECT_NE(ran.err.find(": ошибка записи в стандартный вывод"), std::string::npos) << ran.err;
  }
}

TEST_F(CliFaults, RefusalsSayWhy) {
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  ScratchFolder::Write(Path("short.txt"), "\r\n111111:222222:#\r\n");
  fs::create_directory(Path("folder"));
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"convert", Path("def.qvx"), ""}, "quorvex-cli convert: не указано имя файла\n"},
      {{"convert", "", Path("x.qvx")}, "quorvex-cli convert: не указано имя файла\n"},
      {{"decode", Path("folder")},
       "quorvex-cli decode: " + Path("folder") + ": Ошибка открытия файла\n"},
      {{"decode", Path("short.txt")}, "quorvex-cli decode: Ответ устройства неполный\n"},
  };
  for (const auto& c : cases) {
    const Ran ran = Run(c.args);
    EXPECT_EQ(ran.status, 1) << c.message;
    EXPECT_EQ(ran.err, c.message);
  }
}

TEST_F(CliFaults, ShowsControlBytesOfTextsEscapedToPeopleAndExactInJson) {
  std::string line = kDefaultLine;
  line.replace(line.find("7391"), 4,
               "\x1b]0;x\x07\x7f"
               "1");
  ScratchFolder::Write(Path("esc.qvx"), line + "\r\n");
  const Ran human = Run({"show", Path("esc.qvx")});
  ASSERT_EQ(human.status, 0) << human.err;
  EXPECT_EQ(human.out.find_first_of("\x1b\x07\x7f"), std::string::npos);
  EXPECT_NE(human.out.find("\"\\x1B]0;x\\x07\\x7F1\""), std::string::npos);
  const Ran json = Run({"show", "--json", Path("esc.qvx")});
  EXPECT_NE(json.out.find("\"\\u001b]0;x\\u0007\x7f"
                          "1\""),
            std::string::npos)
      << json.out;
}

TEST_F(CliFaults, WriteBeyondTheFileSizeLimitFailsAndLeavesNoTemporary) {
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  const Ran ran = Run({"convert", Path("def.qvx"), Path("new.qvx")}, {.no_file_size = true});
  EXPECT_EQ(ran.status, 1);
  EXPECT_EQ(ran.err, "quorvex-cli convert: " + Path("new.qvx") + ": Ошибка сохранения файла\n");
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"def.qvx"}));
}

TEST_F(CliFaults, ReadRefusesWhatCannotBeSavedWithOneOutcome) {
  ScratchFolder::Write(Path("taken.qvx"), "earlier");
  const std::string unselected = "\r\n0" + kDefaultReply.substr(3);
  const struct {
    std::string output;
    std::string reply;  // empty: nothing may be asked of the device
    std::string message;
  } cases[] = {
      {Path("taken"), "", Path("taken.qvx") + " уже существует и не заменён"},
      {Path("missing/set.qvx"), "", Path("missing/set.qvx") + ": нет такой папки"},
      {Path("set.qvx"), unselected, "Не выбрано значение параметра Set01 пункт 1"},
  };
  for (const auto& c : cases) {
    device::testing::Pty line;
    const pid_t cli = Start({"read", "--port", line.Path(), "-o", c.output});
    // Before the port is open the line reads as hung up: ask again until due.
    std::string asked;
    for (int wait = 0; wait < (c.reply.empty() ? 5 : 50) && asked.size() < 4; ++wait) {
      asked += line.Take(100);
      usleep(100'000);
    }
    if (!c.reply.empty()) line.Send(c.reply);
    const Ran ran = Finish(cli);
    EXPECT_EQ(asked, c.reply.empty() ? "" : "A5A6") << c.output;
    EXPECT_EQ(ran.status, 1) << c.output;
    EXPECT_NE(ran.err.find(c.message), std::string::npos) << ran.err;
    EXPECT_EQ(ran.out.find("Данные успешно получены"), std::string::npos) << ran.out;
  }
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"taken.qvx"}));
  EXPECT_EQ(ScratchFolder::Contents(Path("taken.qvx")), "earlier");
}

}  // namespace
}  // namespace qvx::cli

namespace qvx::cli {
namespace {

TEST_F(CliFaults, APortRefusedForWantOfPermissionSaysSoAndHowToGetIt) {
  device::testing::Pty line;
  if (getuid() != 0) {
    chmod(line.Path().c_str(), 0);
    if (access(line.Path().c_str(), R_OK | W_OK) == 0) GTEST_SKIP() << "no user to be refused";
  }
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  const Ran refused = Run({"write", Path("def.qvx"), "--port", line.Path()}, {.as_nobody = true});
  EXPECT_EQ(refused.status, 1);
  const std::string prefix = "quorvex-cli write: " + line.Path() + ": ";
  EXPECT_EQ(refused.err, prefix + "Error 1: Не могу открыть указанный Com порт!\n" + prefix +
                             "нет прав на доступ к порту\n" + prefix +
                             "Чтобы открывать последовательные порты, вступите в группу dialout: "
                             "sudo adduser $USER dialout, затем войдите в систему заново.\n");
}

}  // namespace
}  // namespace qvx::cli
