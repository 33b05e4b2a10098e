// write and read with --object NUMBER and --archive FILE or --server URL:
// the object's archive, opened and checked before any device is used, and
// one journal entry for each port's result. The entry is made by the
// archive's own rules either way; on a server, in an archive in memory
// holding the object's card, then sent through the server's sync.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "archive/sqlite_archive.h"
#include "cli/command_line.h"
#include "cli/server_archive.h"
#include "cli/server_link.h"
#include "device/causes.h"
#include "device/command_steps.h"

namespace qvx::cli {

// The options both commands take.
inline constexpr OptionSpec kArchiveOption{"--archive", true};
inline constexpr OptionSpec kObjectOption{"--object", true};

// The usage problem of the archive's options (--object without --archive
// or --server and the other way round, both at once, a malformed server
// URL, ...), or "".
std::string ArchiveOptionsProblem(const ParsedArgs& parsed);

class ObjectJournal {
 public:
  // Opens the archive the options name (FILE, which must exist, or the
  // server, logged in) and finds the object --object NUMBER in it. Returns
  // nothing, with `failure` set to "FILE: cause", "сервер URL: cause" or
  // "... нет объекта с номером N", when either fails; `usage` is then true
  // for a usage problem of the login (no name, no password).
  static std::unique_ptr<ObjectJournal> Open(const ParsedArgs& parsed, std::string& failure,
                                             bool& usage);
  ~ObjectJournal();

  // One entry of the command `command` ("Записать", ...) on `port`: its
  // outcome (none when unknown), cause, the outcome in words and the
  // settings line as sent or read ("" for none). On a server it is sent at
  // once; what the server did not take is tried again by Finish. Returns ""
  // or the failure, "FILE: cause".
  std::string Add(const std::string& port, const std::string& command,
                  std::optional<device::Outcome> outcome, device::Cause cause,
                  const std::string& outcome_text, const std::string& settings_line);

  // "" when every entry is in the archive; else the failure naming the
  // server, after one more try to send what waits.
  std::string Finish();

 private:
  ObjectJournal() = default;
  archive::Executor& Db();
  // Sends what waits; a card changed on the server meanwhile is taken from
  // it and given the settings the device took here again.
  std::string Send();

  std::string file_;
  std::unique_ptr<archive::SqliteArchive> file_db_;
  std::unique_ptr<ServerLink> link_;
  std::unique_ptr<ServerArchive> server_;
  std::string object_id_;
  std::string installer_;
  std::string taken_settings_;  // the last settings the device took, to give the card again
  std::string send_failure_;
};

}  // namespace qvx::cli
