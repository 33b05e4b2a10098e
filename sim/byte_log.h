// The device's log: the bytes in and out with their time, and what the device
// did (stored, refused, beeped, hung up).
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace qvx::sim {

using Clock = std::chrono::steady_clock;

struct LogEntry {
  enum class Kind { In, Out, Note };
  Kind kind = Kind::Note;
  Clock::time_point at;
  std::string bytes;  // In: one read from the line; Out: one write to it
  std::string text;   // Note
};

// Called for every entry as it happens.
using LogSink = std::function<void(const LogEntry&)>;

// One line without line end, time in milliseconds since start; the bytes of
// one entry on one line, those outside 0x20..0x7e as \xNN:
// "    12.345 in  4 \"A5A6\"", "    13.100 out 2 \"\x0d\x0a\"", "    14.000 note stored ...".
std::string FormatLogEntry(const LogEntry& entry, Clock::time_point start);

// The entry with one line per byte: "    12.345 in  0x41 'A'", "    13.100 out 0x0d".
// A note gives its one line.
std::vector<std::string> FormatLogEntryByBytes(const LogEntry& entry, Clock::time_point start);

}  // namespace qvx::sim
