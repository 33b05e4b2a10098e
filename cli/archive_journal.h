// write and read with --archive FILE --object NUMBER: the object's archive,
// opened and checked before any device is used, and one journal entry for
// each port's result.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "archive/sqlite_archive.h"
#include "cli/command_line.h"
#include "device/causes.h"
#include "device/command_steps.h"

namespace qvx::cli {

// The options both commands take.
inline constexpr OptionSpec kArchiveOption{"--archive", true};
inline constexpr OptionSpec kObjectOption{"--object", true};

// The usage problem of the two options ("--archive действует только вместе
// с --object", and the other way round), or "".
std::string ArchiveOptionsProblem(const ParsedArgs& parsed);

class ObjectJournal {
 public:
  // Opens FILE, which must exist, and finds the object NUMBER in it.
  // Returns nothing, with `failure` set to "FILE: cause" or "FILE: нет
  // объекта с номером N", when either fails.
  static std::unique_ptr<ObjectJournal> Open(const std::string& file, const std::string& number,
                                             std::string& failure);

  // One entry of the command `command` ("Записать", ...) on `port`: its
  // outcome (none when unknown), cause, the outcome in words and the
  // settings line as sent or read ("" for none). Returns "" or the failure,
  // "FILE: cause".
  std::string Add(const std::string& port, const std::string& command,
                  std::optional<device::Outcome> outcome, device::Cause cause,
                  const std::string& outcome_text, const std::string& settings_line);

 private:
  ObjectJournal(const std::string& file, std::unique_ptr<archive::SqliteArchive> db,
                std::string object_id)
      : file_(file), db_(std::move(db)), object_id_(std::move(object_id)) {}

  std::string file_;
  std::unique_ptr<archive::SqliteArchive> db_;
  std::string object_id_;
};

}  // namespace qvx::cli
