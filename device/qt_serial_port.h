// The real serial port over QSerialPort.
//
// Threads, the one rule for every user of it: create, use and destroy an
// object on one thread, a thread that has a Qt event dispatcher (the main
// thread, or a QThread; a bare std::thread has none), and only while the
// application object (QCoreApplication or a class derived from it) exists.
// No event loop has to run: the port waits for its bytes itself.
#pragma once

#include <QSerialPort>

#include "device/serial_port.h"

namespace qvx::device {

class QtSerialPort : public SerialPort {
 public:
  OpenResult Open(const std::string& name, std::string_view definition) override;
  void Close() override;
  bool IsOpen() const override;
  std::size_t Write(std::string_view bytes) override;
  std::string Read(std::size_t max) override;
  void DiscardInput() override;
  // The ports QSerialPortInfo lists (SystemSerialPortNames); pseudo-terminals
  // are not among them.
  std::vector<std::string> PlatformPortNames() const override;
  PortFailure LastFailure() const override { return failure_; }

 private:
  void SettleError();
  // QSerialPort's error as the failure, before it is cleared: a lost line
  // or a refused permission as such, any other error as `otherwise`.
  void KeepFailure(Cause otherwise);
  OpenResult Refuse(PortFailure failure);

  PortFailure failure_;
  bool lost_ = false;  // the line was lost and the port released itself
  QSerialPort port_;
};

}  // namespace qvx::device
