#include "device/qt_serial_port.h"

#include <chrono>
#include <fstream>
#include <sstream>

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "device/line_definition.h"
#include "device/port_causes.h"
#include "device/system_ports.h"

namespace qvx::device {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kReadTotalTimeout = std::chrono::milliseconds(50);
constexpr auto kWriteTimeoutPerByte = std::chrono::milliseconds(100);

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

QSerialPort::Parity ToQt(Parity parity) {
  switch (parity) {
    case Parity::Even:
      return QSerialPort::EvenParity;
    case Parity::Odd:
      return QSerialPort::OddParity;
    case Parity::Mark:
      return QSerialPort::MarkParity;
    case Parity::Space:
      return QSerialPort::SpaceParity;
    case Parity::None:
      break;
  }
  return QSerialPort::NoParity;
}

QSerialPort::StopBits ToQt(StopBits stop) {
  switch (stop) {
    case StopBits::OneAndHalf:
      return QSerialPort::OneAndHalfStop;
    case StopBits::Two:
      return QSerialPort::TwoStop;
    case StopBits::One:
      break;
  }
  return QSerialPort::OneStop;
}

// The device number of this process's controlling terminal; 0 when none.
dev_t ControllingTerminal() {
  std::ifstream stat_file("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(stat_file)), {});
  const std::size_t after_name = stat.rfind(')');  // the name may hold blanks
  if (after_name == std::string::npos) return 0;
  std::istringstream fields(stat.substr(after_name + 1));
  std::string state;
  long long parent = 0, group = 0, session = 0, terminal = 0;
  fields >> state >> parent >> group >> session >> terminal;
  return static_cast<dev_t>(terminal);
}

// Why the device at `path` is no port for the device, or "" when it may be
// one: only terminal devices, and neither /dev/tty, /dev/console, /dev/ptmx
// (major 5) nor a virtual console (major 4, minor below 64) nor the terminal
// this process is controlled from. Pseudo-terminal slaves are allowed.
std::string NotAPort(const std::string& path) {
  struct stat device {};
  if (::stat(path.c_str(), &device) != 0) return {};  // the open says why
  if (!S_ISCHR(device.st_mode)) return std::string(kNotATerminal);
  const unsigned major_number = major(device.st_rdev);
  if (major_number == 5 || (major_number == 4 && minor(device.st_rdev) < 64))
    return "это консоль, а не последовательный порт";
  if (device.st_rdev == ControllingTerminal()) return "это терминал, в котором работает программа";
  return {};
}

// Why QSerialPort could not open `path`, in our words. Qt reports a device
// that another program opened exclusively (EBUSY) or locked (its lock file)
// as a permission error: where the device itself may be read and written
// (always so for root), that is a busy port, and joining dialout would not
// help.
PortFailure OpenFailure(const QSerialPort& port, const std::string& path) {
  switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
      return {std::string(kNoSuchDevice)};
    case QSerialPort::UnsupportedOperationError:  // the terminal settings are refused
      return {std::string(kNotATerminal)};
    case QSerialPort::PermissionError:
      if (::access(path.c_str(), R_OK | W_OK) == 0) return {std::string(kPortBusy)};
      return {std::string(kPermissionDenied), true};
    default:
      return {"порт не открывается (" + port.errorString().toStdString() + ")"};
  }
}

}  // namespace

OpenResult QtSerialPort::Refuse(std::string cause, bool permission_denied) {
  failure_ = {std::move(cause), permission_denied};
  if (port_.isOpen()) port_.close();
  port_.clearError();
  return OpenResult::CannotOpen;
}

void QtSerialPort::KeepFailure() {
  if (port_.error() == QSerialPort::NoError || port_.error() == QSerialPort::TimeoutError) return;
  failure_ = {port_.errorString().toStdString(), port_.error() == QSerialPort::PermissionError};
}

OpenResult QtSerialPort::Open(const std::string& name, std::string_view definition) {
  // An object that is still open (a failed configuration, or an open without
  // a close first) keeps its port: the system holds it, as for another program.
  if (port_.isOpen()) return Refuse("порт уже открыт");
  if (name.empty()) return Refuse(std::string(kNoPortNamed));
  failure_ = {};
  const std::string path = name.starts_with('/') ? name : "/dev/" + name;
  if (const std::string why = NotAPort(path); !why.empty()) return Refuse(why);
  port_.setPortName(QString::fromStdString(name));
  if (!port_.open(QIODevice::ReadWrite)) {
    const PortFailure failure = OpenFailure(port_, path);
    return Refuse(failure.cause, failure.permission_denied);
  }
  if (!::isatty(static_cast<int>(port_.handle()))) return Refuse(std::string(kNotATerminal));
  // The kernel lets root past the exclusive open; this lock holds for every
  // program of ours, whoever runs it.
  if (::flock(static_cast<int>(port_.handle()), LOCK_EX | LOCK_NB) != 0)
    return Refuse(std::string(kPortBusy));
  const std::optional<LineSettings> line = ParseLineDefinition(definition);
  if (!line) return OpenResult::DefinitionRejected;
  const bool set = port_.setBaudRate(line->baud) &&
                   port_.setDataBits(static_cast<QSerialPort::DataBits>(line->data_bits)) &&
                   port_.setParity(ToQt(line->parity)) &&
                   port_.setStopBits(ToQt(line->stop_bits)) &&
                   port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!set) {
    KeepFailure();
    port_.clearError();
    return OpenResult::LineNotSet;
  }
  // The time-outs are kept by Read and Write themselves; nothing to set.
  return OpenResult::Opened;
}

void QtSerialPort::Close() {
  if (port_.isOpen()) port_.close();
  port_.clearError();
}

bool QtSerialPort::IsOpen() const {
  return port_.isOpen();
}

std::size_t QtSerialPort::Write(std::string_view bytes) {
  if (!port_.isOpen() || bytes.empty()) return 0;
  const qint64 accepted = port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (accepted <= 0) {
    KeepFailure();
    SettleError();
    return 0;
  }
  // write() only buffers: wait until the bytes reached the driver, so that a
  // pause afterwards really separates them from the next ones.
  const Clock::time_point deadline = Clock::now() + kWriteTimeoutPerByte * bytes.size();
  while (port_.bytesToWrite() > 0) {
    const int left = MillisecondsLeft(deadline);
    if (left == 0 || !port_.waitForBytesWritten(left)) break;
  }
  const qint64 pending = port_.bytesToWrite();
  if (pending > 0) KeepFailure();
  if (pending > 0 && port_.isOpen())
    port_.clear(QSerialPort::Output);  // a late byte must not reach the device
  SettleError();
  return static_cast<std::size_t>(accepted - pending);
}

std::string QtSerialPort::Read(std::size_t max) {
  std::string received;
  if (!port_.isOpen()) return received;
  const Clock::time_point deadline = Clock::now() + kReadTotalTimeout;
  for (;;) {
    const QByteArray chunk = port_.read(static_cast<qint64>(max - received.size()));
    received.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
    if (received.size() >= max) break;
    const int left = MillisecondsLeft(deadline);
    if (left == 0 || !port_.waitForReadyRead(left)) {
      KeepFailure();
      SettleError();
      if (!port_.isOpen() || port_.bytesAvailable() == 0) break;
    }
  }
  return received;
}

void QtSerialPort::SettleError() {
  // An empty poll sets TimeoutError: clear it so the next call starts afresh.
  // A lost line (programmer unplugged) sets ResourceError: release the port,
  // so the next device command opens it again instead of writing into a dead
  // handle until another port is chosen.
  if (port_.error() == QSerialPort::ResourceError)
    port_.close();
  else
    port_.clearError();
}

void QtSerialPort::DiscardInput() {
  if (!port_.isOpen()) return;
  port_.clear(QSerialPort::Input);  // the driver's queue and QSerialPort's own buffer
  port_.clearError();
}

std::vector<std::string> QtSerialPort::PlatformPortNames() const {
  return SystemSerialPortNames();
}

}  // namespace qvx::device
