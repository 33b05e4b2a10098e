#include "device/qt_serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QSerialPortInfo>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "device/device_link.h"
#include "device/port_causes.h"
#include "device/system_ports.h"
#include "tests/support/fake_link.h"
#include "tests/support/pty_test_support.h"

namespace qvx::device {
namespace {

using testing::Pty;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kLine = "baud=57600 parity=N data=8 stop=1";

class QtSerialPortTest : public ::testing::Test {
 protected:
  Pty pty;
  QtSerialPort port;
};

TEST_F(QtSerialPortTest, OpensAPseudoTerminalByPathAt57600EightNoneOne) {
  ASSERT_EQ(port.Open(pty.Path(), kLine), OpenResult::Opened);
  termios line{};
  ASSERT_EQ(tcgetattr(pty.Master(), &line), 0);  // the master reports the slave's settings
  EXPECT_EQ(cfgetospeed(&line), B57600);
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(line.c_iflag & (IXON | IXOFF), 0u);
}

TEST_F(QtSerialPortTest, OpenFailures) {
  EXPECT_EQ(port.Open("ttyQuorvexMissing", kLine), OpenResult::CannotOpen);
  EXPECT_EQ(port.Open("", kLine), OpenResult::CannotOpen);
  EXPECT_FALSE(port.IsOpen());

  EXPECT_EQ(port.Open(pty.Path(), "baud=fast"), OpenResult::DefinitionRejected);
  EXPECT_TRUE(port.IsOpen());  // held until closed, like a half-configured port
  EXPECT_EQ(port.Open(pty.Path(), kLine), OpenResult::CannotOpen);
  port.Close();
  EXPECT_EQ(port.Open(pty.Path(), kLine), OpenResult::Opened);
}

TEST_F(QtSerialPortTest, PortHeldByAnotherProcessGivesError1AsBusyNotAsPermission) {
  testing::PortHolder holder(pty.Path());
  ASSERT_TRUE(holder.Holding());
  testing::RecordingHost host;
  DeviceLink link(port, host);
  link.EnsureComPortOpen(pty.Path());
  EXPECT_FALSE(link.state.PortOpen);
  EXPECT_EQ(host.port_errors,
            std::vector<std::string>{"Error 1: Не могу открыть указанный Com порт!"});
  // Busy, not forbidden: the holder's lock file names it, and no hint to
  // join a group that would not help.
  EXPECT_EQ(port.LastFailure().text,
            "порт занят другой программой (процесс " + std::to_string(holder.Pid()) + ")");
  EXPECT_EQ(port.LastFailure().cause, Cause::Busy);
}

// The causes in the words the window and the command-line tool show.
TEST_F(QtSerialPortTest, RefusedOpenSaysWhyInRussian) {
  struct Case {
    std::string name;
    std::string_view text;
    Cause cause;
  };
  // A port whose name leaves no room for its lock file ("LCK.." and the
  // name): a real terminal, reached through a link of a long name.
  const std::string long_link =
      ::testing::TempDir() + std::string(245, 'p') + std::to_string(getpid());
  unlink(long_link.c_str());
  ASSERT_EQ(symlink(pty.Path().c_str(), long_link.c_str()), 0);
  for (const Case& c :
       std::vector<Case>{{"ttyQuorvexMissing", kNoSuchDevice, Cause::Missing},
                         {"/dev/quorvex/missing", kNoSuchDevice, Cause::Missing},
                         {"", kNoPortNamed, Cause::Missing},
                         // not /dev/null: another test opens it
                         {"/dev/zero", kNotATerminal, Cause::OpenOther},
                         // names too long for a lock file, of no device or longer than any file's
                         {std::string(251, 'x'), kNoSuchDevice, Cause::Missing},
                         {std::string(300, 'x'), kNoSuchDevice, Cause::Missing},
                         {long_link, "слишком длинное имя порта", Cause::OpenOther}}) {
    EXPECT_EQ(port.Open(c.name, kLine), OpenResult::CannotOpen) << c.name;
    EXPECT_EQ(port.LastFailure().text, c.text) << c.name;
    EXPECT_EQ(port.LastFailure().cause, c.cause) << c.name;
  }
  unlink(long_link.c_str());
}

// The device's own permissions refuse the user: the one cause that joining
// dialout mends. Root passes any permission, so the refused user is nobody.
TEST_F(QtSerialPortTest, AUserTheDeviceRefusesIsToldItIsAMatterOfPermission) {
  ASSERT_EQ(chmod(pty.Path().c_str(), 0), 0);
  const pid_t child = fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(2);
    QtSerialPort refused;
    const bool said = refused.Open(pty.Path(), kLine) == OpenResult::CannotOpen &&
                      refused.LastFailure().text == kPermissionDenied &&
                      refused.LastFailure().cause == Cause::Denied;
    _exit(said ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(QtSerialPortTest, OnlyTerminalDevicesThatAreNoConsolesArePortsAndARefusalSaysWhy) {
  const std::string plain = ::testing::TempDir() + "qvx-plain-port";
  { std::ofstream(plain) << "x"; }
  std::vector<std::string> refused = {"/dev/ptmx", "/dev/null", plain, "ttyQuorvexMissing"};
  if (access("/dev/tty0", F_OK) == 0) refused.push_back("/dev/tty0");
  for (const std::string& name : refused) {
    EXPECT_EQ(port.Open(name, kLine), OpenResult::CannotOpen) << name;
    EXPECT_FALSE(port.IsOpen()) << name;
    EXPECT_NE(port.LastFailure().text, "") << name;
    port.Close();
  }
  std::remove(plain.c_str());
  ASSERT_EQ(port.Open(pty.Path(), kLine), OpenResult::Opened);  // a pseudo-terminal slave is one
  EXPECT_EQ(port.LastFailure().cause, Cause::None);
}

// Another of our programs holds the port: refused even to root, whom the
// kernel lets past the exclusive open.
TEST_F(QtSerialPortTest, PortLockedByAnotherOfOurProgramsIsRefusedToAnyone) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    const int line = open(pty.Path().c_str(), O_RDWR | O_NOCTTY);
    const bool held = line >= 0 && ioctl(line, TIOCEXCL) == 0 && flock(line, LOCK_EX) == 0;
    [[maybe_unused]] const ssize_t told = write(ready[1], held ? "1" : "0", 1);
    pause();
    _exit(0);
  }
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  EXPECT_EQ(held, '1');
  EXPECT_EQ(port.Open(pty.Path(), kLine), OpenResult::CannotOpen);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.LastFailure().text.rfind("порт занят другой программой", 0), 0u);
  EXPECT_EQ(port.LastFailure().cause, Cause::Busy);
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
}

TEST_F(QtSerialPortTest, WriteReturnsOnlyAfterTheBytesLeft) {
  ASSERT_EQ(port.Open(pty.Path(), kLine), OpenResult::Opened);
  for (char byte : std::string("A3A4")) {
    ASSERT_EQ(port.Write(std::string(1, byte)), 1u);
    EXPECT_EQ(pty.Take(0), std::string(1, byte));  // already readable, without waiting
  }
}

TEST_F(QtSerialPortTest, ReadTakesAtMostTheAskedBytesAndWaitsAboutFiftyMs) {
  ASSERT_EQ(port.Open(pty.Path(), kLine), OpenResult::Opened);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(port.Read(1000), "");
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(49));

  // After the empty poll the port still reads: its time-out error was cleared.
  pty.Send(std::string(1500, 'x') + "\x01\xff");
  std::string first = port.Read(1000);
  while (first.size() < 1000) {
    const std::string more = port.Read(1000 - first.size());
    ASSERT_FALSE(more.empty());
    first += more;
  }
  EXPECT_EQ(first, std::string(1000, 'x'));
  std::string rest;
  for (int i = 0; i < 20 && rest.size() < 502; ++i) rest += port.Read(1000);
  EXPECT_EQ(rest, std::string(500, 'x') + "\x01\xff");
}

TEST_F(QtSerialPortTest, DiscardInputDropsOnlyWhatHadArrived) {
  ASSERT_EQ(port.Open(pty.Path(), kLine), OpenResult::Opened);
  pty.Send("late:#");
  // A second opener of the line sees its input queue fill.
  const int line = open(pty.Path().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(line, 0);
  int waiting = 0;
  while (ioctl(line, FIONREAD, &waiting) == 0 && waiting < 6) poll(nullptr, 0, 1);
  close(line);
  EXPECT_EQ(waiting, 6);

  port.DiscardInput();
  pty.Send("new");
  std::string read;
  for (int i = 0; i < 20 && read.size() < 3; ++i) read += port.Read(1000);
  EXPECT_EQ(read, "new");
}

TEST_F(QtSerialPortTest, DroppedLineGivesEmptyReadsAndFailedWritesAndReleasesThePort) {
  ASSERT_EQ(port.Open(pty.Path(), kLine), OpenResult::Opened);
  pty.HangUp();
  EXPECT_EQ(port.Read(1000), "");
  EXPECT_EQ(port.Write("A5A6"), 0u);
  EXPECT_EQ(port.LastFailure().cause, Cause::Lost);
  EXPECT_EQ(port.Read(1000), "");
  // Released, so the next device command opens the port again.
  EXPECT_FALSE(port.IsOpen());
  port.Close();
}

TEST_F(QtSerialPortTest, WritesOnAClosedPortFail) {
  EXPECT_EQ(port.Write("x"), 0u);
  EXPECT_EQ(port.Read(10), "");
}

// Read from sysfs, the list must be the one QSerialPortInfo gets from udev.
TEST(SystemSerialPortNamesTest, AreTheOnesQSerialPortInfoLists) {
  std::vector<std::string> expected;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    expected.push_back(info.portName().toStdString());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(SystemSerialPortNames(), expected);
}

}  // namespace
}  // namespace qvx::device
