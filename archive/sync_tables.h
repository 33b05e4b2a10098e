// The statements over the archive's sync tables (schema version 2): the
// sync state's keys, the entries the server holds, each card's version on
// the server, and the conflicts kept both ways. No I/O: the sync's rules
// (archive/sync.h, archive/conflicts.h) run them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/executor.h"
#include "archive/records.h"

namespace qvx::archive {

// The keys of sync_state.
inline constexpr const char* kCursorKey = "cursor";
inline constexpr const char* kOriginKey = "origin";

// The value kept under `key`, if any.
std::optional<std::string> SyncValue(Executor& executor, const std::string& key);
// Keeps `value` under `key`, replacing the one before.
Statement SetSyncValue(const std::string& key, const std::string& value);

// Forgets what any server holds: every record counts as not yet sent.
std::vector<Statement> ForgetServer();

// Marks the entry of `id` as held by the server (again: no change).
Statement MarkEntrySent(const std::string& id);

// The card's version on the server (the base of its next push); 0 for a
// card the server does not hold.
std::int64_t ServerVersionOf(Executor& executor, const std::string& id);
Statement SetServerVersion(const std::string& id, std::int64_t version);

// Entries not yet on the server, oldest first, at most `limit`.
Statement UnsentEntries(std::size_t limit);
// Cards whose version is not the server's, but those kept in a conflict;
// rows of CardColumns() and then the base. At most `limit`.
Statement UnsentCards(std::size_t limit);
// One row: (entries unsent, cards unsent but in conflict, conflicts).
Statement WaitingCounts();

// Keeps `theirs` against the card here of `mine_id`, replacing the one kept.
Statement StoreConflict(const std::string& mine_id, const Card& theirs);
Statement DeleteConflict(const std::string& mine_id);
// Rows of mine_id and then CardColumns() of theirs; every conflict, or the one of `mine_id`.
Statement ConflictRows();
Statement ConflictRow(const std::string& mine_id);

// The number of rows the last statement changed.
std::int64_t ChangedRows(Executor& executor);

}  // namespace qvx::archive
