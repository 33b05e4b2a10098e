#include "cli/progress.h"

#include <unistd.h>

#include <iostream>

#include "settings/russian_numbers.h"

namespace qvx::cli {

bool StandardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

Progress::Progress(std::function<std::string()> status) : status_(std::move(status)) {
  if (StandardErrorIsTerminal()) thread_ = std::thread([this] { Run(); });
}

Progress::Progress(const std::string& label) : Progress([label] { return label; }) {}

Progress::~Progress() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    Clear();
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Progress::Interrupt(const std::function<void()>& print) {
  std::lock_guard lock(mutex_);
  Clear();
  print();
  std::cout.flush();
}

void Progress::Run() {
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, std::chrono::milliseconds(200), [this] { return stop_; })) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (seconds < 1.0) continue;  // a short wait needs no progress
    std::cerr << "\r\033[K" << status_() << " … " << SecondsText(seconds) << std::flush;
    shown_ = true;
  }
}

void Progress::Clear() {
  if (!shown_) return;
  std::cerr << "\r\033[K" << std::flush;
  shown_ = false;
}

}  // namespace qvx::cli
