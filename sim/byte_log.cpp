#include "sim/byte_log.h"

#include <cstdio>

namespace qvx::sim {
namespace {

std::string Stamp(const LogEntry& entry, Clock::time_point start) {
  const double ms = std::chrono::duration<double, std::milli>(entry.at - start).count();
  const char* kind = entry.kind == LogEntry::Kind::Note ? "note"
                     : entry.kind == LogEntry::Kind::In ? "in  "
                                                        : "out ";
  char line[32];
  std::snprintf(line, sizeof line, "%10.3f %s", ms, kind);
  return line;
}

}  // namespace

std::string FormatLogEntry(const LogEntry& entry, Clock::time_point start) {
  std::string line = Stamp(entry, start);
  if (entry.kind == LogEntry::Kind::Note) return line + " " + entry.text;
  line += std::to_string(entry.bytes.size()) + " \"";
  for (const char c : entry.bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && byte != '\\' && byte != '"') {
      line += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      line += escaped;
    }
  }
  return line + "\"";
}

std::vector<std::string> FormatLogEntryByBytes(const LogEntry& entry, Clock::time_point start) {
  if (entry.kind == LogEntry::Kind::Note) return {FormatLogEntry(entry, start)};
  const std::string stamp = Stamp(entry, start);
  std::vector<std::string> lines;
  for (const char c : entry.bytes) {
    const auto byte = static_cast<unsigned char>(c);
    char line[32];
    if (byte >= 0x20 && byte < 0x7f)
      std::snprintf(line, sizeof line, "0x%02x '%c'", byte, byte);
    else
      std::snprintf(line, sizeof line, "0x%02x", byte);
    lines.push_back(stamp + line);
  }
  return lines;
}

}  // namespace qvx::sim
