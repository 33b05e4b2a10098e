// The archive's side of the company's server's sync (POST /api/sync): the
// request built from what the server does not hold yet, and the server's
// answer applied in one transaction. Records cross as the JSON of
// archive/records_json.h; the caller only carries the texts to the server
// and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/executor.h"

namespace qvx::archive {

// The most records of each kind one request carries; the rest go in the next.
inline constexpr std::size_t kSyncBatch = 500;

// The body of POST /api/sync for the server at `origin`: {cursor, cards:
// [{card, base}], entries: [entry]}: the entries the server lacks, oldest
// first, and the cards changed here since their last sync each with the
// server's version it started from (base 0 for a card the server lacks);
// at most `batch` of each. A card kept in a conflict waits for its settling.
// An archive last synced with another origin first forgets that server's
// state (one transaction): every record counts as not yet sent. Without
// `cards` the request carries entries only: what goes when the server
// refuses a card, so that one refused card holds no journal back.
std::string SyncRequest(Executor& executor, const std::string& origin,
                        std::size_t batch = kSyncBatch, bool cards = true);

struct SyncApplied {
  std::int64_t cards = 0;      // the server's cards taken here
  std::int64_t entries = 0;    // the server's entries added here
  std::int64_t conflicts = 0;  // cards kept both ways by this answer
  std::int64_t sent = 0;       // cards and entries the request carried
};

// Applies the server's answer {cursor, cards, entries, conflicts} to the
// `request` it answers (as SyncRequest gave it for `origin`), in one
// transaction: what was sent is marked as held by the server; each card of
// the server is taken where the card here has no unsent change, and kept
// beside it as a conflict where it has; entries are added once by id; the
// conflicts stored; the answer's cursor kept. Throws ArchiveError (Refused)
// changing nothing when the answer or any record in it is refused, or when
// the archive has been synced with another origin since the request.
SyncApplied ApplySyncAnswer(Executor& executor, const std::string& origin,
                            const std::string& request, const std::string& answer);

struct SyncWaiting {
  std::int64_t entries = 0;    // journal entries the server lacks
  std::int64_t cards = 0;      // cards changed here, but those in conflicts
  std::int64_t conflicts = 0;  // for the installer to settle
};

// What waits to be sent, and the conflicts waiting for the installer.
SyncWaiting WaitingForSync(Executor& executor);

}  // namespace qvx::archive
