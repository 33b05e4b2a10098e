// A progress line for long waits, on standard error and only when it is a
// terminal; in a pipe or a file nothing is printed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace qvx::cli {

bool StandardErrorIsTerminal();

class Progress {
 public:
  // Shows `status()` and the seconds elapsed, from the first second on,
  // refreshed five times a second, until destroyed. `status` runs on the progress thread.
  explicit Progress(std::function<std::string()> status);
  // A fixed label, such as "чтение ttyUSB0 (до 2,0 с)".
  explicit Progress(const std::string& label);
  ~Progress();  // clears the line
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Runs `print` (which writes whole lines to stdout or stderr) with the
  // progress line cleared, so the two never mix on one terminal.
  void Interrupt(const std::function<void()>& print);

 private:
  void Run();
  void Clear();  // with mutex_ held

  std::function<std::string()> status_;
  bool shown_ = false;
  bool stop_ = false;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::thread thread_;
};

}  // namespace qvx::cli
