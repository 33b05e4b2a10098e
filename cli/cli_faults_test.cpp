// quorvex-cli as a script or a person runs it: a separate process, its
// output to files, under the faults a shell can arrange.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "tests/support/program_run.h"
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

using test::Ran;

struct How {
  std::string out = "out.txt";  // in the folder, or an absolute path
  int out_fd = -1;              // instead: this descriptor (a pipe) as stdout
  std::string err = "err.txt";  // in the folder
  bool no_file_size = false;    // as under "ulimit -f": no file beyond 200 bytes
  bool as_nobody = false;       // an ordinary user, when this test runs as root
};

// Keeps the slave side of a line open, so that the master waits for bytes
// instead of reading as hung up while the program has not opened it yet.
class LineUp {
 public:
  explicit LineUp(const device::testing::Pty& line)
      : slave_(open(line.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
  ~LineUp() { close(slave_); }
  LineUp(const LineUp&) = delete;
  LineUp& operator=(const LineUp&) = delete;

 private:
  int slave_;
};

// What arrived on `line` until `enough` says so (or, as a guard against a
// program that never sends, after ten seconds).
std::string TakeUntil(device::testing::Pty& line,
                      const std::function<bool(const std::string&)>& enough) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::string got;
  while (!enough(got) && std::chrono::steady_clock::now() < give_up) got += line.Take(100);
  return got;
}

class CliFaults : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }

  pid_t Start(std::vector<std::string> args, const How& how = {}) {
    args.insert(args.begin(), QUORVEX_CLI_PROGRAM);
    test::ProgramIo io{.out = how.out.starts_with("/") ? how.out : Path(how.out),
                       .out_fd = how.out_fd,
                       .err = Path(how.err)};
    io.before_exec = [how] {
      if (how.no_file_size) {
        const rlimit small = {200, 200};  // room for the message, not for a file
        setrlimit(RLIMIT_FSIZE, &small);
      }
      return !how.as_nobody || getuid() != 0 || (setgid(kNobody) == 0 && setuid(kNobody) == 0);
    };
    const pid_t pid = test::StartProgram(std::move(args), io);
    started_[pid] = how;
    return pid;
  }

  Ran Finish(pid_t pid) {
    const How how = started_[pid];
    started_.erase(pid);
    const bool own_out = how.out_fd < 0 && !how.out.starts_with("/");
    Ran ran;
    ran.status = test::WaitProgram(pid);
    if (own_out) ran.out = ScratchFolder::Contents(Path(how.out));
    ran.err = ScratchFolder::Contents(Path(how.err));
    fs::remove(Path(how.err));
    if (own_out) fs::remove(Path(how.out));
    return ran;
  }

  Ran Run(std::vector<std::string> args, const How& how = {}) {
    return Finish(Start(std::move(args), how));
  }

  ScratchFolder folder_{"cli-" +
                        std::string(testing::UnitTest::GetInstance()->current_test_info()->name())};
  std::map<pid_t, How> started_;
};

TEST_F(CliFaults, OutputThatCannotBeWrittenIsAnErrorSaidOnce) {
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  ScratchFolder::Write(Path("other.qvx"), "1" + kDefaultLine.substr(1) + "\r\n");
  ScratchFolder::Write(Path("reply.txt"), kDefaultReply);
  const struct {
    std::vector<std::string> args;
    int status;  // diff keeps 1 for "different"
  } cases[] = {
      {{"show"}, 1},
      {{"show", "--json"}, 1},
      {{"frame", Path("def.qvx")}, 1},
      {{"decode", Path("reply.txt")}, 1},
      {{"diff", Path("other.qvx")}, 2},
      {{"diff", Path("other.qvx"), "--json"}, 2},
  };
  for (const auto& c : cases) {
    const Ran ran = Run(c.args, {.out = "/dev/full"});
    EXPECT_EQ(ran.status, c.status) << c.args[0];
    EXPECT_EQ(ran.err, "quorvex-cli " + c.args[0] + ": ошибка записи в стандартный вывод\n");
  }
}

TEST_F(CliFaults, ConvertKeepsAnExistingFileOfEitherFormUnlessForced) {
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  ASSERT_EQ(Run({"convert", Path("def.qvx"), Path("def.json")}).status, 0);
  const struct {
    std::string in;
    std::string out;      // as given
    std::string written;  // the name the save writes
  } cases[] = {
      {"def.json", "old.qvx", "old.qvx"},
      {"def.json", "old", "old.qvx"},
      {"def.qvx", "old.json", "old.json"},
      {"def.qvx", "old.JSON", "old.JSON"},
  };
  for (const auto& c : cases) {
    ScratchFolder::Write(Path(c.written), "earlier");
    const Ran kept = Run({"convert", Path(c.in), Path(c.out)});
    EXPECT_EQ(kept.status, 1) << c.out;
    EXPECT_EQ(kept.err,
              "quorvex-cli convert: " + Path(c.written) + ": файл уже существует и не заменён\n");
    EXPECT_EQ(ScratchFolder::Contents(Path(c.written)), "earlier");

    const Ran forced = Run({"convert", "--force", Path(c.in), Path(c.out)});
    EXPECT_EQ(forced.status, 0) << c.out << forced.err;
    EXPECT_EQ(ScratchFolder::Contents(Path(c.written)),
              ScratchFolder::Contents(Path(c.written.ends_with("qvx") ? "def.qvx" : "def.json")));
    fs::remove(Path(c.written));
  }
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"def.json", "def.qvx"}));
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
      {Path("taken"), "", Path("taken.qvx") + ": файл уже существует и не заменён"},
      {Path("missing/set.qvx"), "", Path("missing/set.qvx") + ": нет такой папки"},
      {Path("set.qvx"), unselected, "Не выбрано значение параметра Set01 пункт 1"},
  };
  for (const auto& c : cases) {
    device::testing::Pty line;
    const LineUp up(line);
    const pid_t cli = Start({"read", "--port", line.Path(), "-o", c.output});
    std::string asked;
    if (!c.reply.empty()) {
      asked = TakeUntil(line, [](const std::string& got) { return got.size() >= 4; });
      line.Send(c.reply);
    }
    const Ran ran = Finish(cli);
    // A refusal before the port opens has asked nothing: the line holds
    // whatever the program sent.
    if (c.reply.empty()) asked = line.Take(0);
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
  EXPECT_EQ(refused.err, prefix + "нет прав на доступ к порту\n" + prefix +
                             "Чтобы открывать последовательные порты, вступите в группу dialout: "
                             "sudo adduser $USER dialout, затем войдите в систему заново.\n");
}

}  // namespace
}  // namespace qvx::cli

namespace qvx::cli {
namespace {

// The serial port's lock file for a pseudo-terminal slave ("/dev/pts/3").
std::string LockFileOf(const std::string& path) {
  std::string name = path.substr(5);
  std::replace(name.begin(), name.end(), '/', '_');
  return "/var/lock/LCK.." + name;
}

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Ctrl-C or SIGTERM mid-frame: every port stops after its byte under way,
// says so, and is released; the exit status is 130.
TEST_F(CliFaults, InterruptStopsEveryPortBetweenBytesAndSaysHowFarItGot) {
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  const auto all = [](const std::string& got) { return !got.empty(); };
  const auto asked = [](const std::string& got) { return got.size() >= 4; };
  const struct {
    const char* name;
    int ports;
    std::vector<std::string> args;  // the ports' paths follow as --port P
    int signal;
    std::function<bool(const std::string&)> sent;  // what must arrive before the signal
    std::string out;                               // "P" stands for each port's path
    std::string err;
  } cases[] = {
      {"batch",
       2,
       {"write", Path("def.qvx")},
       SIGINT,
       all,
       "P  прервано: кадр передан не полностью  ",
       ""},
      {"one port",
       1,
       {"write", Path("def.qvx")},
       SIGTERM,
       all,
       "",
       "quorvex-cli write: P: прервано: кадр передан не полностью\n"},
      {"read",
       1,
       {"read", "-o", Path("got.qvx")},
       SIGINT,
       asked,
       "",
       "quorvex-cli read: P: прервано: ответ не дождались, файл не записан\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::unique_ptr<device::testing::Pty>> lines;
    std::vector<std::unique_ptr<LineUp>> up;
    std::vector<std::string> args = c.args;
    for (int i = 0; i < c.ports; ++i) {
      lines.push_back(std::make_unique<device::testing::Pty>());
      up.push_back(std::make_unique<LineUp>(*lines.back()));
      args.insert(args.end(), {"--port", lines.back()->Path()});
    }
    const pid_t cli = Start(args);
    for (const auto& line : lines) ASSERT_TRUE(c.sent(TakeUntil(*line, c.sent))) << c.name;
    kill(cli, c.signal);
    const Ran ran = Finish(cli);
    EXPECT_EQ(ran.status, 130) << c.name << ran.err;
    for (const auto& line : lines) {
      const std::string rest = line->Take(0);
      EXPECT_FALSE(Holds(rest, "##")) << c.name << ": the whole frame went out";
      EXPECT_FALSE(fs::exists(LockFileOf(line->Path()))) << c.name;
      const auto with_port = [&](std::string text) {
        if (const auto at = text.find('P'); at != std::string::npos)
          text.replace(at, 1, line->Path());
        return text;
      };
      EXPECT_TRUE(Holds(ran.out, with_port(c.out))) << c.name << ran.out;
      if (c.ports == 1) {
        EXPECT_EQ(ran.err, with_port(c.err)) << c.name;
      }
    }
    if (c.ports > 1) {
      EXPECT_TRUE(ran.out.ends_with("2 устройства: 0 отправлено, 2 прервано\n")) << ran.out;
    }
  }
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"def.qvx"}));
}

// A signal at any moment of a save, a second one included, leaves the old
// file or the new one, never a temporary file.
TEST_F(CliFaults, InterruptedSaveLeavesNoTemporaryFile) {
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  for (int delay_us = 0; delay_us < 20'000; delay_us += 1'000) {
    const pid_t cli = Start({"convert", Path("def.qvx"), Path("new.json")});
    usleep(static_cast<useconds_t>(delay_us));  // spreads the signal over the run
    kill(cli, SIGINT);
    kill(cli, SIGTERM);
    const Ran ran = Finish(cli);
    EXPECT_TRUE(ran.status == 0 || ran.status == 130) << ran.status << ran.err;
    for (const std::string& name : folder_.Names())
      EXPECT_TRUE(name == "def.qvx" || name == "new.json") << name;
    fs::remove(Path("new.json"));
  }
}

// A closed standard output neither ends a device exchange midway nor passes
// for success: the frame goes out whole, then the output failure is reported.
TEST_F(CliFaults, ClosedOutputStopsNoExchangeAndIsReportedAfterIt) {
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  for (const bool device : {false, true}) {
    device::testing::Pty line;
    const LineUp up(line);
    int pipe_ends[2];
    ASSERT_EQ(pipe2(pipe_ends, O_CLOEXEC), 0);
    const pid_t cli =
        Start(device ? std::vector<std::string>{"write", Path("def.qvx"), "--port", line.Path()}
                     : std::vector<std::string>{"show"},
              {.out_fd = pipe_ends[1]});
    close(pipe_ends[1]);
    close(pipe_ends[0]);  // as "| true" does
    if (device) {
      const std::string frame =
          TakeUntil(line, [](const std::string& got) { return got.ends_with("##"); });
      EXPECT_TRUE(frame.starts_with("A3A4") && frame.ends_with("##")) << frame;
    }
    const Ran ran = Finish(cli);
    EXPECT_EQ(ran.status, 1) << device;
    EXPECT_TRUE(Holds(ran.err, ": ошибка записи в стандартный вывод\n")) << ran.err;
  }
}

// A port that another program holds is busy, not forbidden: said so, with
// the holder's process id, and without the hint about the dialout group,
// to root and to an ordinary user alike.
TEST_F(CliFaults, ABusyPortIsReportedAsBusyWithItsHolder) {
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  device::testing::Pty line;
  const LineUp up(line);
  chmod(line.Path().c_str(), 0666);
  // The holder waits for the device to store before it reads back: long enough.
  const pid_t holder =
      Start({"write", Path("def.qvx"), "--port", line.Path(), "--verify", "--settle", "600000"},
            {.out = "holder-out.txt", .err = "holder-err.txt"});
  TakeUntil(line, [](const std::string& got) { return got.ends_with("##"); });
  for (const bool as_nobody : {false, true}) {
    const Ran ran =
        Run({"write", Path("def.qvx"), "--port", line.Path()}, {.as_nobody = as_nobody});
    EXPECT_EQ(ran.status, 1);
    // The cause, then the port's own words, which name the holder.
    EXPECT_TRUE(Holds(ran.err, line.Path() + ": порт занят другой программой\n"))
        << as_nobody << ran.err;
    EXPECT_TRUE(Holds(ran.err, line.Path() + ": порт занят другой программой (процесс " +
                                   std::to_string(holder) + ")\n"))
        << as_nobody << ran.err;
    EXPECT_FALSE(Holds(ran.err, "dialout")) << ran.err;
  }
  kill(holder, SIGINT);
  EXPECT_EQ(Finish(holder).status, 130);
}

// A port lost mid-frame is summed up as lost, as the page sums it up, the
// system's words on a line of their own.
TEST_F(CliFaults, BatchSummaryGivesTheCauseInRussian) {
  ScratchFolder::Write(Path("def.qvx"), kDefaultLine + "\r\n");
  device::testing::Pty kept;
  device::testing::Pty lost;
  const LineUp kept_up(kept);
  const LineUp lost_up(lost);
  const pid_t cli = Start({"write", Path("def.qvx"), "--port", kept.Path(), "--port", lost.Path()});
  TakeUntil(lost, [](const std::string& got) { return !got.empty(); });
  lost.HangUp();
  TakeUntil(kept, [](const std::string& got) { return got.ends_with("##"); });
  const Ran ran = Finish(cli);
  EXPECT_EQ(ran.status, 1);
  EXPECT_TRUE(Holds(ran.out, kept.Path() + "  отправлено  ")) << ran.out;
  EXPECT_TRUE(Holds(ran.out, lost.Path() + "  ошибка: связь с портом потеряна  ")) << ran.out;
  EXPECT_TRUE(Holds(ran.err, "quorvex-cli write: " + lost.Path() + ": связь с портом потеряна\n"))
      << ran.err;
  EXPECT_TRUE(ran.out.ends_with("2 устройства: 1 отправлено, 1 ошибка\n")) << ran.out;
}

}  // namespace
}  // namespace qvx::cli
