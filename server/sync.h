// A sync: the page's new journal entries and changed cards taken in one
// transaction, and everything changed on the server since the page's cursor
// given back. Entries are kept once by their id; a card is taken only over
// the version it started from, never over another change (a conflict).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/executor.h"
#include "archive/records.h"
#include "server/accounts.h"

namespace qvx::server {

struct PushedCard {
  archive::Card card;
  std::int64_t base = 0;  // the server's version the change started from; 0: new
};

struct SyncRequest {
  std::int64_t cursor = 0;
  std::vector<PushedCard> cards;
  std::vector<archive::Entry> entries;
};

struct Conflict {
  archive::Card mine;    // as sent
  archive::Card theirs;  // as the server holds it
};

struct SyncAnswer {
  std::int64_t cursor = 0;
  bool more = false;  // stopped short of the server's newest change: ask again from `cursor`
  std::vector<archive::Card> cards;
  std::vector<archive::Entry> entries;
  std::vector<Conflict> conflicts;
};

// A change the account's role may not make; nothing of the request is kept.
class RoleRefusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Cards, and entries, an answer gives about this many of (it ends with a
// whole transaction's rows): a first sync of a large company comes in parts.
inline constexpr std::int64_t kSyncPage = 2000;

// Runs `request` for `account`. An installer creates cards and changes a
// card's settings only to those a journaled command of it carried, its
// number, name, address, phone, note and deletion as the server's. Throws
// RoleRefusal beyond the role, ArchiveError (Refused) for a card whose
// version is not above its base; nothing is then kept.
SyncAnswer Sync(archive::Executor& executor, const Account& account, const SyncRequest& request,
                std::int64_t page = kSyncPage);

}  // namespace qvx::server
