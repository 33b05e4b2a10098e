// The device commands without a window, for the command-line tool and the
// tests: log lines and messages go to streams, and the read loop itself
// tells the command the time after each turn (no timer of its own).
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "device/device_commands.h"

namespace qvx::device {

// A text field refused by the write checks, as the console names it:
// "Abon01 (Edit16)".
std::string RefusedFieldLine(std::string_view field);

class ConsoleSession : public LinkHost, public CommandView {
 public:
  // Log lines and success messages go to `out`, refusals, failures and port
  // errors to `err`. A port error has its cause after it on its line
  // ("... (Permission denied)"), a failed write its cause on the line before
  // its message (a lost port's message has it below); when permission was
  // denied, the next line says how to get it. The session's failed writes
  // reach the command as the port tells them apart (lost, timed out, failed).
  // Every argument but `extra_ports` (see DeviceLink) must outlive the session.
  ConsoleSession(SerialPort& port, Settings& settings, std::ostream& out, std::ostream& err,
                 PortLister extra_ports = {});

  // "Записать" on `port_name`.
  CommandResult Write(const std::string& port_name);
  // "Прочитать" on `port_name`, the 2000 ms reception window included; the
  // reply is taken over into the session's settings when every field passed.
  CommandResult Read(const std::string& port_name);

  // Asks the commands to stop (see LinkHost::StopRequested) once `requested`
  // returns true; it is called between bytes and reads, from the session's thread.
  void StopWhen(std::function<bool()> requested) { stop_requested_ = std::move(requested); }

  // With hold set, success messages are kept back rather than printed, for
  // a caller that succeeds only once it has done more (saved what was read).
  void HoldSuccessMessages(bool hold) { hold_success_ = hold; }
  // The success messages kept back, printed now on `out`.
  void ReleaseSuccessMessages();

  DeviceLink& Link() { return link_; }
  // Every message shown, as "title: text" in order.
  const std::vector<std::string>& Messages() const { return messages_; }

  void AppendLog(const std::string& line) override;
  void ShowMessage(const std::string& text, const std::string& title, MessageKind kind) override;
  void ShowPortError(const std::string& text) override;
  void ProcessEvents() override {}
  void Pause(int milliseconds) override;
  void WriteFailed() override;
  bool StopRequested() override { return stop_requested_ && stop_requested_(); }

  // A field that failed its check is named on `err` ("Abon01 (Edit16)").
  void MarkTextField(std::string_view field, FieldMark mark) override;

 private:
  void ShowCause();

  Settings& settings_;
  std::ostream& out_;
  std::ostream& err_;
  DeviceLink link_;
  std::vector<std::string> messages_;
  std::function<bool()> stop_requested_;
  bool hold_success_ = false;
  std::vector<std::string> held_success_;
};

}  // namespace qvx::device
