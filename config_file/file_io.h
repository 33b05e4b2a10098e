// Reading and writing configuration files on disk, byte for byte.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace qvx {

// Most bytes read from a file before giving up on finding its line end (or
// its end); far above any line a save writes.
inline constexpr std::size_t kMaxReadBytes = std::size_t{1} << 20;

enum class ReadStatus {
  Ok,
  NotFound,    // no file of that name
  Unreadable,  // not a regular file, or opening or reading failed
  TooLong,     // more than the allowed bytes before the line end / file end
};

struct FileRead {
  ReadStatus status = ReadStatus::Unreadable;
  std::string bytes;  // when Ok
};

// The file's bytes up to (without) the first CR, LF or NUL, reading no more
// than max_bytes of it; a file with no line end yields all its bytes.
FileRead ReadFirstLine(const std::string& path, std::size_t max_bytes = kMaxReadBytes);

// The whole file, when it holds at most max_bytes.
FileRead ReadSmallFile(const std::string& path, std::size_t max_bytes = kMaxReadBytes);

// The rest of the stream, when it holds at most max_bytes (Ok or TooLong;
// Unreadable when reading fails). Reads at most max_bytes plus one chunk.
FileRead ReadSmallStream(std::istream& in, std::size_t max_bytes = kMaxReadBytes);

// Replaces the file's content: writes a temporary file in the same folder,
// flushes it to disk, renames it over the name (through a symbolic link to
// its target). Returns false when anything fails or the existing file is
// read-only or not a regular file; the earlier file is then intact and the
// temporary file gone.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace qvx
