// Reading and writing configuration files on disk, byte for byte.
#pragma once

#include <cstddef>
#include <functional>
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
// flushes it to disk, gives it the owner, group and mode of the file it
// replaces (the owner as far as allowed), renames it over the name. A
// symbolic link is followed to its target, which is created when missing,
// but not a link that the system would not follow either: one of another
// user in a folder everyone may write to that keeps each name to its owner
// (as /tmp). The temporary file is never created through a link.
// Returns false when anything fails or the existing file is read-only or not
// a regular file; the earlier file is then intact and the temporary file gone.
// A hard link to the earlier file keeps the earlier content: the price of
// replacing atomically.
// When the folder allows no new file but the existing file may be written,
// the file is written in place instead; that write is not atomic, and a
// failure of it can leave the file cut short.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// How many names SaveAsNewFile tries before it gives up.
inline constexpr int kMaxNewFileNames = 1000;

// Saves `bytes` as a new file in `folder`, under the first of name_for(1),
// name_for(2), ... that nothing holds yet: no file, folder or link, not even
// a dangling one. Returns that name; "" when nothing was saved (the folder
// missing or refusing, a name that is not one of this folder's own, no free
// name among the first kMaxNewFileNames). Never follows a link and never
// replaces anything, also while other threads or programs claim names in the
// same folder: the bytes go to a temporary file made inside the folder, which
// takes a name only if that name is free at that moment. The file appears
// whole or not at all, with the mode 0666 less the umask.
std::string SaveAsNewFile(const std::string& folder, std::string_view bytes,
                          const std::function<std::string(int)>& name_for);

}  // namespace qvx
