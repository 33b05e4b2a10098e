// Test doubles for the device link: a scripted serial port and a host that
// records what the user would see, on a clock that only its pauses move.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "device/link_host.h"
#include "device/serial_port.h"

namespace qvx::device::testing {

class FakePort : public SerialPort {
 public:
  OpenResult next_open = OpenResult::Opened;
  std::vector<std::string> opened;  // names passed to Open
  int closes = 0;
  std::string written;
  std::size_t fail_write_at = std::string::npos;  // byte offset whose write fails
  std::deque<std::string> reads;                  // what successive reads return
  std::vector<std::size_t> read_sizes;            // the most each read asked for
  std::vector<std::string> platform_ports;
  int discards = 0;     // calls of DiscardInput
  PortFailure failure;  // what LastFailure tells, whatever happened

  OpenResult Open(const std::string& name, std::string_view) override {
    opened.push_back(name);
    open_ = next_open != OpenResult::CannotOpen;
    return next_open;
  }
  void Close() override {
    ++closes;
    open_ = false;
  }
  bool IsOpen() const override { return open_; }
  // The line is lost and the port released itself, as an unplugged programmer.
  void LoseLine() { open_ = false; }
  std::size_t Write(std::string_view bytes) override {
    if (!open_) return 0;
    if (fail_write_at != std::string::npos && written.size() + bytes.size() > fail_write_at)
      return 0;
    written += bytes;
    return bytes.size();
  }
  std::string Read(std::size_t max) override {
    read_sizes.push_back(max);
    if (reads.empty()) return {};
    std::string front = reads.front();
    reads.pop_front();
    return front;
  }
  void DiscardInput() override { ++discards; }
  std::vector<std::string> PlatformPortNames() const override { return platform_ports; }
  PortFailure LastFailure() const override { return failure; }

 private:
  bool open_ = false;
};

class RecordingHost : public LinkHost {
 public:
  std::vector<std::string> log;
  std::vector<std::pair<std::string, std::string>> messages;
  std::vector<MessageKind> kinds;  // of `messages`, in step
  std::vector<std::string> port_errors;
  std::vector<int> pauses;
  int events = 0;
  std::function<void()> on_events;  // a nested handler, such as the reception timer
  double now_ms = 0;                // the host's clock: only its pauses move it

  void AppendLog(const std::string& line) override { log.push_back(line); }
  void ShowMessage(const std::string& text, const std::string& title, MessageKind kind) override {
    messages.emplace_back(text, title);
    kinds.push_back(kind);
  }
  void ShowPortError(const std::string& text) override { port_errors.push_back(text); }
  void ProcessEvents() override {
    ++events;
    if (on_events) on_events();
  }
  void Pause(int milliseconds) override {
    pauses.push_back(milliseconds);
    now_ms += milliseconds;
  }
  double NowMs() override { return now_ms; }
};

}  // namespace qvx::device::testing
