// quorvex-sim: the Quorvex device on a pseudo-terminal, for people and tests.
#include <signal.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>

#include "sim/load_settings.h"
#include "sim/pty_device.h"
#include "sim/sim_args.h"
#include "sim/simulated_ports.h"

namespace {

using qvx::sim::Clock;

// Writes each log entry at once, so a crash loses nothing.
class LogFile {
 public:
  LogFile(std::FILE* file, bool by_bytes)
      : file_(file), by_bytes_(by_bytes), start_(Clock::now()) {}
  void Write(const qvx::sim::LogEntry& entry) {
    if (by_bytes_)
      for (const std::string& line : qvx::sim::FormatLogEntryByBytes(entry, start_))
        std::fprintf(file_, "%s\n", line.c_str());
    else
      std::fprintf(file_, "%s\n", qvx::sim::FormatLogEntry(entry, start_).c_str());
    std::fflush(file_);
  }

 private:
  std::FILE* file_;
  bool by_bytes_;
  Clock::time_point start_;
};

// Waits for SIGINT, SIGTERM or SIGHUP, or for the device to hang up.
void WaitForEnd(const sigset_t& signals, const qvx::sim::PtyDevice& device) {
  const timespec tick = {0, 100'000'000};
  while (!device.HungUp())
    if (sigtimedwait(&signals, nullptr, &tick) > 0) return;
}

}  // namespace

int main(int argc, char** argv) {
  qvx::sim::SimArgs args;
  if (const std::string error = ParseSimArgs({argv + 1, argv + argc}, args); !error.empty()) {
    std::cerr << "quorvex-sim: " << error << "\n" << qvx::sim::kSimUsage;
    return 2;
  }
  if (args.help) {
    std::cout << qvx::sim::kSimUsage;
    return 0;
  }
  qvx::MemorySettings settings;
  if (!args.load_file.empty()) {
    if (const std::string error = qvx::sim::LoadSettingsFile(args.load_file, settings);
        !error.empty()) {
      std::cerr << "quorvex-sim: " << error << "\n";
      return 1;
    }
  }
  std::FILE* log = stderr;
  if (!args.log_file.empty() && !(log = std::fopen(args.log_file.c_str(), "w"))) {
    std::cerr << "quorvex-sim: cannot write the log file " << args.log_file << "\n";
    return 1;
  }

  // Blocked before the serving thread starts, so only WaitForEnd takes them.
  sigset_t signals;
  sigemptyset(&signals);
  for (int number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, number);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);  // a reader of the path that went away must not end the device

  LogFile log_file(log, args.log_bytes);
  try {
    qvx::sim::PtyDevice device(settings, args.options,
                               [&](const qvx::sim::LogEntry& entry) { log_file.Write(entry); });
    // Registered first, so the port list shows the port once its path is out.
    std::string refusal;
    const auto link = qvx::RegisterSimulatedPort(device.Path(), &refusal);
    if (link.empty())
      std::cerr << "quorvex-sim: could not register " << device.Path() << " (" << refusal
                << "); the port list will not show it\n";
    std::cout << device.Path() << std::endl;
    WaitForEnd(signals, device);
    qvx::UnregisterSimulatedPort(link);
    device.Stop();
  } catch (const std::exception& error) {
    std::cerr << "quorvex-sim: " << error.what() << "\n";
    return 1;
  }
  if (log != stderr) std::fclose(log);
  return 0;
}
