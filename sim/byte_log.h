// The device's log: every byte in and out with its time, and what the device
// did (stored, refused, beeped, hung up).
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace qvx::sim {

using Clock = std::chrono::steady_clock;

struct LogEntry {
  enum class Kind { In, Out, Note };
  Kind kind = Kind::Note;
  Clock::time_point at;
  unsigned char byte = 0;  // In, Out
  std::string text;        // Note
};

// Called for every entry as it happens.
using LogSink = std::function<void(const LogEntry&)>;

// One line without line end, time in milliseconds since start:
// "    12.345 in  0x41 'A'", "    13.100 out 0x0d", "    14.000 note stored ...".
std::string FormatLogEntry(const LogEntry& entry, Clock::time_point start);

}  // namespace qvx::sim
