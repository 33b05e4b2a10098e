// The real serial port over QSerialPort. Needs a QCoreApplication (or
// QApplication) in the thread that uses it; no event loop has to run.
#pragma once

#include <QSerialPort>
#include <future>

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
  // QSerialPortInfo's ports; pseudo-terminals are not among them.
  std::vector<std::string> PlatformPortNames() const override;

  // Starts listing the platform's ports on another thread: asking the
  // system's device manager takes tens of milliseconds, which a window can
  // spend building itself. The next PlatformPortNames() returns that list,
  // waiting for it if need be; later calls list afresh.
  void StartListingPorts();

 private:
  void SettleError();

  QSerialPort port_;
  mutable std::future<std::vector<std::string>> listing_;
};

}  // namespace qvx::device
