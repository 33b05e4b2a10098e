#include "sim/byte_log.h"

#include <cstdio>

namespace qvx::sim {

std::string FormatLogEntry(const LogEntry& entry, Clock::time_point start) {
  const double ms = std::chrono::duration<double, std::milli>(entry.at - start).count();
  char line[64];
  if (entry.kind == LogEntry::Kind::Note) {
    std::snprintf(line, sizeof line, "%10.3f note ", ms);
    return line + entry.text;
  }
  const char* direction = entry.kind == LogEntry::Kind::In ? "in " : "out";
  const unsigned char byte = entry.byte;
  if (byte >= 0x20 && byte < 0x7f)
    std::snprintf(line, sizeof line, "%10.3f %s 0x%02x '%c'", ms, direction, byte, byte);
  else
    std::snprintf(line, sizeof line, "%10.3f %s 0x%02x", ms, direction, byte);
  return line;
}

}  // namespace qvx::sim
