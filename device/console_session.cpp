#include "device/console_session.h"

#include "device/pacing.h"
#include "device/port_causes.h"
#include "settings/catalogue.h"

namespace qvx::device {

ConsoleSession::ConsoleSession(SerialPort& port, Settings& settings, std::ostream& out,
                               std::ostream& err, PortLister extra_ports)
    : settings_(settings), out_(out), err_(err), link_(port, *this, std::move(extra_ports)) {}

CommandResult ConsoleSession::Write(const std::string& port_name) {
  return WriteCommand(link_, settings_, port_name, *this);
}

CommandResult ConsoleSession::Read(const std::string& port_name) {
  return ReadCommand(link_, settings_, port_name, *this);
}

void ConsoleSession::AppendLog(const std::string& line) {
  out_ << line << "\n" << std::flush;
}

void ConsoleSession::WriteFailed() {
  // A lost port's message carries the system's words below it.
  if (link_.PortHandle().LastFailure().cause != Cause::Lost) ShowCause();
}

void ConsoleSession::ShowCause() {
  for (const std::string& line : PortFailureLines(link_.PortHandle().LastFailure()))
    err_ << line << "\n";
  err_ << std::flush;
}

void ConsoleSession::ShowMessage(const std::string& text, const std::string& title,
                                 MessageKind kind) {
  messages_.push_back(title + ": " + text);
  if (kind != MessageKind::Success)
    err_ << text << "\n" << std::flush;
  else if (hold_success_)
    held_success_.push_back(text);
  else
    out_ << text << "\n" << std::flush;
}

void ConsoleSession::ReleaseSuccessMessages() {
  for (const std::string& text : held_success_) out_ << text << "\n";
  out_ << std::flush;
  held_success_.clear();
}

void ConsoleSession::ShowPortError(const std::string& text) {
  messages_.push_back(text);
  // The cause on the message's own line, so that the failure is said in one line.
  const PortFailure failure = link_.PortHandle().LastFailure();
  err_ << text;
  if (!failure.text.empty()) err_ << " (" << failure.text << ")";
  err_ << "\n";
  if (failure.cause == Cause::Denied) err_ << kDialoutHint << "\n";
  err_ << std::flush;
}

void ConsoleSession::Pause(int milliseconds) {
  SleepAtLeast(milliseconds);
}

std::string RefusedFieldLine(std::string_view field) {
  const SettingInfo* setting = FindSetting(field);
  return (setting ? TextFieldName(*setting) : std::string(field)) + " (" + std::string(field) + ")";
}

void ConsoleSession::MarkTextField(std::string_view field, FieldMark mark) {
  if (mark == FieldMark::Red) err_ << RefusedFieldLine(field) << "\n";
}

}  // namespace qvx::device
