#include "device/qt_serial_port.h"

#include <chrono>

#include "device/line_definition.h"
#include "device/port_causes.h"
#include "device/port_guard.h"
#include "device/protocol.h"
#include "device/system_ports.h"

namespace qvx::device {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kReadTotalTimeout = std::chrono::milliseconds(kReadTimeoutMs);
constexpr auto kWriteTimeoutPerByte = std::chrono::milliseconds(kWriteBoundPerByteMs);

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

}  // namespace

OpenResult QtSerialPort::Refuse(PortFailure failure) {
  failure_ = std::move(failure);
  if (port_.isOpen()) port_.close();
  port_.clearError();
  return OpenResult::CannotOpen;
}

void QtSerialPort::KeepFailure(Cause otherwise) {
  const QSerialPort::SerialPortError error = port_.error();
  if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
  const std::string text = port_.errorString().toStdString();
  Cause cause = otherwise;
  if (error == QSerialPort::PermissionError)
    cause = Cause::Denied;
  else if (error == QSerialPort::ResourceError || MeansPortGone(text))
    cause = Cause::Lost;
  failure_ = {cause, text};
}

OpenResult QtSerialPort::Open(const std::string& name, std::string_view definition) {
  // An object that is still open (a failed configuration, or an open without
  // a close first) keeps its port: the system holds it, as for another program.
  if (port_.isOpen()) return Refuse({Cause::Busy, "порт уже открыт"});
  if (name.empty()) return Refuse({Cause::Missing, std::string(kNoPortNamed)});
  failure_ = {};
  lost_ = false;
  const std::string path = PortPath(name);
  if (const std::string why = NotAPort(path); !why.empty()) return Refuse({Cause::OpenOther, why});
  port_.setPortName(QString::fromStdString(name));
  if (!port_.open(QIODevice::ReadWrite)) {
    switch (port_.error()) {
      case QSerialPort::DeviceNotFoundError:
        return Refuse({Cause::Missing, std::string(kNoSuchDevice)});
      case QSerialPort::UnsupportedOperationError:  // the terminal settings are refused
        return Refuse({Cause::OpenOther, std::string(kNotATerminal)});
      case QSerialPort::PermissionError:
        // A busy port (its lock file, an exclusive open) comes back as a
        // permission error too: tell the two apart.
        return Refuse(WhyOpenRefused(path));
      default:
        return Refuse(
            {Cause::OpenOther, "порт не открывается (" + port_.errorString().toStdString() + ")"});
    }
  }
  if (PortFailure why = ClaimOpenPort(static_cast<std::intptr_t>(port_.handle()));
      why.cause != Cause::None)
    return Refuse(std::move(why));
  const std::optional<LineSettings> line = ParseLineDefinition(definition);
  if (!line) return OpenResult::DefinitionRejected;
  const bool set = port_.setBaudRate(line->baud) &&
                   port_.setDataBits(static_cast<QSerialPort::DataBits>(line->data_bits)) &&
                   port_.setParity(ToQt(line->parity)) &&
                   port_.setStopBits(ToQt(line->stop_bits)) &&
                   port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!set) {
    KeepFailure(Cause::OpenOther);
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
  if (bytes.empty()) return 0;
  if (!port_.isOpen()) {
    // A port that released itself when its line was lost keeps that cause.
    if (!lost_) failure_ = {Cause::WriteFailed, "порт не открыт"};
    return 0;
  }
  const qint64 accepted = port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (accepted <= 0) {
    failure_ = {Cause::WriteFailed, {}};
    KeepFailure(Cause::WriteFailed);
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
  if (pending > 0) {
    // No error of the port's own: the bytes just did not leave in time.
    failure_ = {Cause::WriteTimedOut, {}};
    KeepFailure(Cause::WriteFailed);
  }
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
      KeepFailure(Cause::Lost);
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
  if (port_.error() == QSerialPort::ResourceError) {
    lost_ = true;
    if (failure_.cause != Cause::Lost) failure_ = {Cause::Lost, failure_.text};
    port_.close();
  } else
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
