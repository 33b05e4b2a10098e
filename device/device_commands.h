// The two device commands, "Записать" and "Прочитать", shared by the window
// and the command-line tool. They talk to the user through the link's host
// and touch the window's other controls only through a CommandView.
#pragma once

#include <string>
#include <string_view>

#include "device/command_engine.h"
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
  // True when the view keeps a reception timer (Timer1) that calls
  // ReceptionTimerFired when it fires, from inside the read loop's
  // ProcessEvents; otherwise the read loop itself tells the time.
  virtual bool TimesReception() const { return false; }
  // Enables the one-shot reception timer to fire in `due_in_ms`, when the
  // collection under way is due.
  virtual void StartReceptionTimer(int /*due_in_ms*/) {}
  virtual void StopReceptionTimer() {}
};

// "Записать" (BitBtn2Click): the write checks (CheckWrite), then makes sure
// `port_name` is open, then sends the frame one byte per write with a pause
// after each. A byte that fails ends the sending with its message. When the
// host asks to stop, the sending ends before the next byte, with no
// message: the host that asked tells its user.
CommandResult WriteCommand(DeviceLink& link, Settings& settings, const std::string& port_name,
                           CommandView& view);

// "Прочитать" (BitBtn1Click): makes sure `port_name` is open, drops the bytes
// that arrived after the last read, sends "A5A6", starts the reception timer
// and runs the read loop; returns when the loop ends, the reply taken over
// into `settings` when every field passed. Outcome CannotOpen when the port
// could not be opened; StoppedReading when a nested command took the read
// loop over.
CommandResult ReadCommand(DeviceLink& link, Settings& settings, const std::string& port_name,
                          CommandView& view);

// "Открыть ком-порт" (Button5Click): opens `port_name` without closing first
// (OpenPortName unchanged), then listens as a read does: timer and read loop,
// also when the open failed. The read button is left as it is.
CommandResult ListenCommand(DeviceLink& link, Settings& settings, const std::string& port_name,
                            CommandView& view);

// "STOP" (Button7Click): ends a running read loop after its current pause and
// stops the timer, so nothing is evaluated; ReceiveBuffer keeps its text.
void StopReadingCommand(DeviceLink& link, CommandView& view);

// Timer1Timer: tells the command whose read loop runs the time; when its
// collection is due, it stops the timer and the read loop, evaluates
// ReceiveBuffer, logs the reply entries, takes the settings over when
// every field passed, shows the outcome, clears ReceiveBuffer and shows the
// read button again. A timer that fired early is started again for the
// rest. With no command collecting, ReceiveBuffer is evaluated as it stands.
void ReceptionTimerFired(DeviceLink& link, Settings& settings, CommandView& view);

}  // namespace qvx::device
