// What the device link needs of the program that hosts it: the window, the
// command-line tool or a test.
#pragma once

#include <string>

#include "device/message_kind.h"

namespace qvx::device {

class LinkHost {
 public:
  virtual ~LinkHost() = default;
  // Appends one line to the console log (Memo1).
  virtual void AppendLog(const std::string& line) = 0;
  // A message box with a single OK button, no icon. The window shows every
  // kind alike; other hosts may route by `kind`.
  virtual void ShowMessage(const std::string& text, const std::string& title, MessageKind kind) = 0;
  // A port-open error in the application's standard dialog, titled with the
  // application title.
  virtual void ShowPortError(const std::string& text) = 0;
  // Lets pending events run (timers and clicks may run nested here).
  virtual void ProcessEvents() = 0;
  // Sleeps at least `milliseconds`.
  virtual void Pause(int milliseconds) = 0;
  // The host's clock in milliseconds, the one clock of a command: its steps'
  // times (until_ms) are on it. A test's host may keep a clock of its own
  // that its Pause moves.
  virtual double NowMs();
  // A write left bytes unsent; "Ошибка в WriteFile" is already logged. The
  // port's LastFailure holds the cause.
  virtual void WriteFailed() {}
  // True when a failed write is told to the command as what the port says it
  // was (the port lost, the write's bound passed, else failed), as the page
  // tells them. False: every failed write is one that failed, as the
  // window's own words have it ("Ошибка записи в порт"; a read request
  // written short goes on to its reception window).
  virtual bool TellsWriteFailuresApart() const { return true; }
  // True when the program is asked to stop (a command-line tool's Ctrl-C):
  // a frame being sent then ends after the byte under way, and a read loop
  // ends without an answer. The window never asks.
  virtual bool StopRequested() { return false; }
};

}  // namespace qvx::device
