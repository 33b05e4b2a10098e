// The archive's own rules over the company's server: an archive in memory
// stands for the server's, takes what the server holds, is changed by the
// same functions as a file, and sends its changes through /api/sync
// (archive/sync.h), so that the CLI keeps no second copy of the rules.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/records.h"
#include "archive/sqlite_archive.h"
#include "cli/server_link.h"

namespace qvx::cli {

struct ServerList {
  std::vector<archive::Card> cards;  // without settings, newest change first
  std::int64_t more = 0;             // found beyond them
};

// The server's search for `text` (archive list). Throws ServerError.
ServerList ListOnServer(ServerLink& link, const std::string& text);

// The card of `number` and its journal, oldest first. Throws ServerError
// ("нет объекта с номером N" in the server's words).
std::pair<archive::Card, std::vector<archive::Entry>> ObjectOnServer(ServerLink& link,
                                                                     const std::string& number);

class ServerArchive {
 public:
  // An empty archive in memory synced with `link`'s server.
  explicit ServerArchive(ServerLink& link);

  archive::Executor& Db() { return *db_; }

  // Keeps `card` here as the server holds it: the base of a change made here.
  void TakeCard(const archive::Card& card);

  // Takes everything the server holds, part after part.
  void PullAll();

  // Sends what waits here until nothing does. A card whose number another
  // object holds on the server moves to a free number ("17 → 17/2"), said in
  // `renumbered`; a card changed on the server meanwhile stays a conflict
  // (archive/conflicts.h) for the caller. Returns the records sent. Throws
  // ServerError (the server's refusal, the whole request kept out) or
  // archive::ArchiveError.
  std::int64_t Push(std::vector<std::string>* renumbered = nullptr);

 private:
  // One request and its answer applied; true when the server has more.
  bool Round(std::int64_t& sent);

  ServerLink& link_;
  std::unique_ptr<archive::SqliteArchive> db_;
};

}  // namespace qvx::cli
