// The two device commands, "Записать" and "Прочитать", shared by the window
// and the command-line tool. They talk to the user through the link's host
// and touch the window's other controls only through a CommandView.
#pragma once

#include <string>
#include <string_view>

#include "device/device_link.h"
#include "device/protocol.h"
#include "device/reply.h"
#include "device/text_fields.h"
#include "settings/settings.h"

namespace qvx::device {

// Window controls the commands change besides the settings. Every default
// does nothing, which suits a host without a window.
class CommandView {
 public:
  virtual ~CommandView() = default;
  // Background of a text field ("Edit16"): red for a failed, white for a passed check.
  virtual void MarkTextField(std::string_view /*field*/, FieldMark /*mark*/) {}
  virtual void ShowSubscriberTab() {}                      // the tab "Список аб."
  virtual void SetWriteButtonVisible(bool /*visible*/) {}  // BitBtn2
  virtual void SetReadButtonVisible(bool /*visible*/) {}   // BitBtn1
  // Enables the one-shot reception timer (Timer1, 2000 ms). When it fires the
  // host calls ReceptionTimerFired from inside the read loop's ProcessEvents.
  virtual void StartReceptionTimer() {}
  virtual void StopReceptionTimer() {}
};

enum class WriteOutcome {
  Refused,
  PortNotOpen,
  WriteFailed,
  Sent,
  StoppedBeforeFrame,  // the host asked to stop before the first byte went out
  StoppedMidFrame,     // ... after some bytes of the frame: the device holds a part of it
};

// "Записать" (BitBtn2Click): the write checks (CheckWrite), then makes sure
// `port_name` is open, then sends the frame one byte per write with a pause
// after each. A byte that fails ends the sending with "Ошибка записи в порт".
// When the host asks to stop, the sending ends before the next byte, with
// no message: the host that asked tells its user.
WriteOutcome WriteCommand(DeviceLink& link, Settings& settings, const std::string& port_name,
                          CommandView& view);

// "Прочитать" (BitBtn1Click): makes sure `port_name` is open, drops the bytes
// that arrived after the last read, sends "A5A6", starts the reception timer
// and runs the read loop; returns when the loop ends (normally after
// ReceptionTimerFired). Returns false when the port could not be opened.
bool ReadCommand(DeviceLink& link, const std::string& port_name, CommandView& view);

// "Открыть ком-порт" (Button5Click): opens `port_name` without closing first
// (OpenPortName unchanged), then listens as a read does: timer and read loop,
// also when the open failed. The read button is left as it is.
void ListenCommand(DeviceLink& link, const std::string& port_name, CommandView& view);

// "STOP" (Button7Click): ends a running read loop after its current pause and
// stops the timer, so nothing is evaluated; ReceiveBuffer keeps its text.
void StopReadingCommand(DeviceLink& link, CommandView& view);

// Timer1Timer: stops the timer and the read loop, evaluates ReceiveBuffer,
// logs the reply entries, takes the settings over when every field passed,
// shows the outcome, clears ReceiveBuffer and shows the read button again.
ReplyOutcome ReceptionTimerFired(DeviceLink& link, Settings& settings, CommandView& view);

}  // namespace qvx::device
