// What the device link and the device commands need of the main window:
// the console log, message boxes, letting events run, and the controls the
// commands change besides the settings.
#pragma once

#include <QString>

#include "device/device_commands.h"
#include "device/link_host.h"

class TForm1;

namespace qvx {

class MessageBoxes;

class WindowLinkHost : public device::LinkHost {
 public:
  explicit WindowLinkHost(TForm1& form) : form_(form) {}

  void AppendLog(const std::string& line) override;  // Memo1
  // Every kind in the same box: the window tells outcomes apart by their texts.
  void ShowMessage(const std::string& text, const std::string& title,
                   device::MessageKind kind) override;
  // The text as its first line, then the port and the cause of a failed
  // open (PortFailureLines).
  void ShowPortError(const std::string& text) override;
  void ProcessEvents() override;
  // Sleeps without letting events run: the write's pacing must not be
  // interrupted by a nested handler.
  void Pause(int milliseconds) override;
  // The window says every failed write in its own words: "Ошибка в
  // WriteFile", and for the frame "Ошибка записи в порт".
  bool TellsWriteFailuresApart() const override { return false; }

 private:
  TForm1& form_;
};

class WindowCommandView : public device::CommandView {
 public:
  explicit WindowCommandView(TForm1& form) : form_(form) {}

  void MarkTextField(std::string_view field, device::FieldMark mark) override;
  void ShowSubscriberTab() override;
  // Hiding "Записать" uncovers its greyed picture, which is painted at once:
  // no event runs while the frame is sent.
  void SetWriteButtonVisible(bool visible) override;
  void SetReadButtonVisible(bool visible) override;
  // Timer1 ends the reception window: Timer1Timer tells the command the time.
  bool TimesReception() const override { return true; }
  void StartReceptionTimer(int due_in_ms) override;
  void StopReceptionTimer() override;

 private:
  TForm1& form_;
};

// The console's text in code page 1251; a character the code page lacks is
// sent as "?".
std::string ConsoleBytes(const QString& text);

}  // namespace qvx
