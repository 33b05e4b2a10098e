// quorvex-sim as a user runs it: a separate process on its own pseudo-terminal.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "sim/simulated_ports.h"
#include "tests/support/port_client_test_util.h"
#include "tests/support/program_run.h"

namespace qvx::sim {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using testing::PortClient;

constexpr auto kPatience = 5s;

// Registrations go to a folder of the test's own.
class SimProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("quorvex-sim-test-" + std::to_string(getpid()));
    fs::create_directories(folder_);
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  }
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
    fs::remove_all(folder_);
  }

  // Starts the program; its stdout comes through a pipe, its stderr goes to
  // a file in the test folder.
  void Start(std::vector<std::string> args) {
    args.insert(args.begin(), QUORVEX_SIM_PROGRAM);
    int pipe_ends[2];
    ASSERT_EQ(pipe2(pipe_ends, O_CLOEXEC), 0);
    pid_ = test::StartProgram(std::move(args), {.out_fd = pipe_ends[1], .err = ErrorFile()});
    close(pipe_ends[1]);
    out_ = pipe_ends[0];
    ASSERT_GT(pid_, 0);
  }

  // First line of the program's stdout, without its line end.
  std::string FirstLine() {
    std::string line;
    char c;
    while (read(out_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }

  // Waits for the program's end; its exit status, or -1 when still running.
  int Finish(std::chrono::milliseconds timeout = kPatience) {
    const std::optional<int> status = test::WaitProgramFor(pid_, timeout);
    if (!status) return -1;
    pid_ = -1;
    return *status;
  }

  std::string Errors() const {
    std::ifstream file(ErrorFile());
    return {std::istreambuf_iterator<char>(file), {}};
  }
  fs::path ErrorFile() const { return folder_ / "stderr.txt"; }
  fs::path Folder() const { return folder_; }
  pid_t Pid() const { return pid_; }

 private:
  fs::path folder_;
  pid_t pid_ = -1;
  int out_ = -1;
};

bool Registered(const std::string& path) {
  const auto ports = ListSimulatedPorts();
  return std::find(ports.begin(), ports.end(), path) != ports.end();
}

TEST_F(SimProgramTest, ServesRegisteredPortUntilSignalled) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    Start({"--delay", "0"});
    const std::string path = FirstLine();
    ASSERT_TRUE(path.starts_with("/dev/")) << path;
    EXPECT_TRUE(Registered(path));
    for (int round = 0; round < 2; ++round) {  // the port can be opened again
      PortClient port(path);
      ASSERT_TRUE(port.Write("A5A6"));
      EXPECT_TRUE(port.Read(kPatience, "#\r\n").ends_with(":7391:000:111:222:333:20198:#\r\n"));
    }
    kill(Pid(), signal);
    EXPECT_EQ(Finish(), 0) << signal;
    EXPECT_FALSE(Registered(path)) << signal;
  }
}

// The registry planted by another user as a link to a folder of ours: the
// simulator says so, serves all the same, and touches nothing in that folder.
TEST_F(SimProgramTest, ServesUnregisteredBesideAPlantedRegistry) {
  const fs::path victim = Folder() / "victim";
  fs::create_directory(victim);
  fs::create_symlink("/nonexistent/port", victim / "999999999");
  fs::create_symlink(victim, Folder() / "quorvex-sim");
  Start({"--delay", "0"});
  const std::string path = FirstLine();
  {
    PortClient port(path);
    ASSERT_TRUE(port.Write("A5A6"));
    EXPECT_TRUE(port.Read(kPatience, "#\r\n").ends_with(":20198:#\r\n"));
  }
  EXPECT_FALSE(Registered(path));
  kill(Pid(), SIGTERM);
  EXPECT_EQ(Finish(), 0);
  const std::string errors = Errors();  // the log follows
  EXPECT_EQ(errors.substr(0, errors.find('\n') + 1),
            "quorvex-sim: could not register " + path + " (" + (Folder() / "quorvex-sim").string() +
                ": is a symbolic link); the port list will not show it\n");
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(victim)) left.push_back(entry.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"999999999"});
}

TEST_F(SimProgramTest, StartsFromAFileAndLogsEveryByte) {
  const fs::path qvx = Folder() / "start.qvx";
  std::ofstream(qvx) << "000000:111111:111111:000000:000000:104250:111111:123911:101111:111110:"
                        "000000:111111:001107:110400:000000:+1:+2:+3:+4:+5:+6:+7:+8:+9:1234:"
                        "010:020:030:040:8080:#\r\n";
  const fs::path log = Folder() / "log.txt";
  // One line per read or write by default, one per byte on request.
  for (const bool by_bytes : {false, true}) {
    std::vector<std::string> args = {"--load", qvx.string(), "--log", log.string(), "--delay", "0"};
    if (by_bytes) args.push_back("--log-bytes");
    Start(args);
    PortClient port(FirstLine());
    ASSERT_TRUE(port.Write("A5A6"));
    EXPECT_EQ(port.Read(kPatience, "#\r\n"),
              "\r\n111111:111111:111111:000000:000000:104250:111111:123911:101111:111111:000000:"
              "111111:001107:110400:000000:+1:+2:+3:+4:+5:+6:+7:+8:+9:1234:010:020:030:040:8080:#"
              "\r\n");
    kill(Pid(), SIGTERM);
    EXPECT_EQ(Finish(), 0);
    std::ifstream file(log);
    const std::string logged{std::istreambuf_iterator<char>(file), {}};
    if (by_bytes) {
      EXPECT_NE(logged.find(" in  0x41 'A'\n"), std::string::npos);
      EXPECT_NE(logged.find(" out 0x23 '#'\n"), std::string::npos);
    } else {
      EXPECT_NE(logged.find(" in  4 \"A5A6\"\n"), std::string::npos) << logged;
      EXPECT_NE(logged.find(" out 163 \"\\x0d\\x0a111111:"), std::string::npos) << logged;
      EXPECT_NE(logged.find(":8080:#\\x0d\\x0a\"\n"), std::string::npos) << logged;
    }
  }
}

// Peak resident memory of a running process, in bytes.
std::size_t PeakMemory(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.starts_with("VmHWM:")) return std::stoull(line.substr(6)) * 1024;
  return 0;
}

// Writes all of bytes to a non-blocking port.
bool WriteAll(PortClient& port, const std::string& bytes) {
  for (std::size_t at = 0; at < bytes.size(); at += 4096)
    for (int attempt = 0; !port.Write(bytes.substr(at, 4096)); ++attempt) {
      if (attempt > 5000) return false;
      std::this_thread::sleep_for(1ms);
    }
  return true;
}

// AddressSanitizer holds freed memory back on purpose (its quarantine, up to
// 256 MB), which would count as the program's own: while this lives, the
// programs started give it back at once. Inert in other builds.
class FreedMemoryGivenBack {
 public:
  FreedMemoryGivenBack() {
#ifdef __SANITIZE_ADDRESS__
    const char* options = std::getenv("ASAN_OPTIONS");
    if (options) saved_ = options;
    setenv("ASAN_OPTIONS", (saved_ + ":quarantine_size_mb=0").c_str(), 1);
#endif
  }
  ~FreedMemoryGivenBack() {
#ifdef __SANITIZE_ADDRESS__
    setenv("ASAN_OPTIONS", saved_.c_str(), 1);
#endif
  }

 private:
  std::string saved_;
};

TEST_F(SimProgramTest, FloodingItStaysSmallAndStillStopsAtOnce) {
  const FreedMemoryGivenBack measured_as_released;
  Start({"--flood", "3600000", "--delay", "0"});  // its log goes to a file
  const std::string path = FirstLine();
  {
    PortClient port(path);
    ASSERT_TRUE(WriteAll(port, std::string(4'000'000, 'x')));
    std::string requests;
    for (int i = 0; i < 50; ++i) requests += "A5A6";
    ASSERT_TRUE(port.Write(requests));
    EXPECT_FALSE(port.Read(500ms).empty());  // the flood is on its way
  }                                          // closed with most of it unsent
  PortClient listener(path);
  listener.Read(300ms);
  EXPECT_LT(PeakMemory(Pid()), std::size_t{32} << 20);
  kill(Pid(), SIGTERM);
  EXPECT_EQ(Finish(2s), 0);
  EXPECT_FALSE(Registered(path));
}

TEST_F(SimProgramTest, HangsUpAndLeaves) {
  Start({"--hangup-after", "4"});
  const std::string path = FirstLine();
  PortClient port(path);
  ASSERT_TRUE(port.Write("A5A6"));
  EXPECT_EQ(port.Read(kPatience), "");
  EXPECT_TRUE(port.Dropped());
  EXPECT_EQ(Finish(), 0);
  EXPECT_FALSE(Registered(path));
}

TEST_F(SimProgramTest, RefusesBadStarts) {
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{"--trickle"}, 2, "--trickle needs a whole number"},
      {{"--delay", "5ms"}, 2, "--delay needs a whole number"},
      {{"--hangup-after", "-1"}, 2, "--hangup-after needs a whole number"},
      {{"--verbose"}, 2, "unknown argument \"--verbose\""},
      {{"--load"}, 2, "--load needs a file name"},
      {{"--load", "/nonexistent/x.qvx"}, 1, "/nonexistent/x.qvx: "},
  };
  for (const auto& c : cases) {
    Start(c.args);
    EXPECT_EQ(Finish(), c.status) << c.args[0];
    EXPECT_NE(Errors().find(c.message), std::string::npos) << Errors();
  }
}

}  // namespace
}  // namespace qvx::sim
