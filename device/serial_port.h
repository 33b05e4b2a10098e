// The serial port as the device link needs it. The real implementation is
// QtSerialPort (device/qt_serial_port.h); tests use a pseudo-terminal or a fake.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "device/causes.h"

namespace qvx::device {

// How an open ended; Error 2..4 leave the port held (IsOpen() true).
enum class OpenResult {
  Opened,
  CannotOpen,          // Error 1: missing, held by another program or already open here
  DefinitionRejected,  // Error 2: the line-settings definition text is malformed
  LineNotSet,          // Error 3: the line settings cannot be applied
  TimeoutsNotSet,      // Error 4: the read/write time-outs cannot be set
};

// Why the last Open, Write or Read failed: the cause as a type, and the
// port's own account of it.
struct PortFailure {
  // An open: Busy, Denied, Missing or OpenOther. A write: Lost (the device
  // went away), WriteTimedOut (its bound passed) or WriteFailed. None when
  // nothing failed or nothing is known.
  Cause cause = Cause::None;
  // In the system's or our words ("нет такого устройства", "Input/output
  // error"); empty when none is known.
  std::string text;
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens `name` (plain, such as "ttyUSB0", or a full path) exclusively
  // (against every other program of ours too, whoever runs it): only a
  // terminal device that is neither a virtual console nor the controlling
  // terminal of this process;
  // applies the line definition (see ParseLineDefinition), no flow control,
  // and the time-outs of device/protocol.h: reads of at most kReadTimeoutMs,
  // writes of at most kWriteBoundPerByteMs a byte.
  virtual OpenResult Open(const std::string& name, std::string_view definition) = 0;
  // Releases the port; harmless when nothing is open.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Writes the bytes and returns how many of them left the computer's buffers
  // within kWriteBoundPerByteMs a byte; 0 when nothing is open. Unsent bytes
  // are dropped, and LastFailure says why.
  virtual std::size_t Write(std::string_view bytes) = 0;
  // Returns up to `max` bytes: as soon as `max` arrived, else what arrived
  // within kReadTimeoutMs. A failed read or a closed port gives no bytes.
  virtual std::string Read(std::size_t max) = 0;
  // Drops every byte that arrived and was not read yet; nothing when closed.
  virtual void DiscardInput() = 0;
  // Names of the platform's serial ports, in the platform's order.
  virtual std::vector<std::string> PlatformPortNames() const = 0;
  // The cause of the latest failed Open, Write or Read; cleared by a
  // successful Open. Ports that know no causes give none.
  virtual PortFailure LastFailure() const { return {}; }
};

}  // namespace qvx::device
