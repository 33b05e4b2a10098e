// The company's objects and their journal in the server's database: the
// archive's records and rules (archive/records.h, archive/search.h), each
// row stamped with the change number (`seq`) of the transaction that wrote
// it, which a sync reads from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/executor.h"
#include "archive/records.h"

namespace qvx::server {

inline constexpr std::int64_t kSearchLimit = 200;

struct Found {
  std::vector<archive::Card> cards;  // at most kSearchLimit, newest change first
  std::int64_t more = 0;             // how many more matched
};

// The archive's search (number, name, address, phone digits) over the
// cards not deleted, or over the deleted ones.
Found SearchCards(archive::Executor& executor, const std::string& text, bool deleted);

// The card of `number` / of `id`, deleted or not.
std::optional<archive::Card> CardOfNumber(archive::Executor& executor, const std::string& number);
std::optional<archive::Card> CardOfId(archive::Executor& executor, const std::string& id);

// The object's journal, oldest first.
std::vector<archive::Entry> JournalOfObject(archive::Executor& executor,
                                            const std::string& object_id);

// Raises the change counter and returns its new value: the first statement
// of every changing transaction, which then waits for any other writer.
std::int64_t NextChange(archive::Executor& executor);

// The counter as committed: every change up to it is readable.
std::int64_t LastChange(archive::Executor& executor);

// Stores a new card / replaces the card of its id, stamped `seq`. Throws
// ArchiveError (Refused) with the card's refusal.
void InsertCardRow(archive::Executor& executor, const archive::Card& card, std::int64_t seq);
void UpdateCardRow(archive::Executor& executor, const archive::Card& card, std::int64_t seq);

// Stores the entry unless one of its id is there; true when stored.
bool InsertEntryRow(archive::Executor& executor, const archive::Entry& entry, std::int64_t seq);

// True when a journaled command of the object that leaves the device
// holding its settings (archive::TakesSettings) carried `settings`.
bool SettingsJournaled(archive::Executor& executor, const std::string& object_id,
                       const std::string& settings);

// The change up to which the rows after `after` hold about `page` cards and
// `page` entries: `last`, or the change of the page-th card or entry, so
// that a part always ends with a whole change.
std::int64_t PageEnd(archive::Executor& executor, std::int64_t after, std::int64_t last,
                     std::int64_t page);

// Cards and entries written after change `after` up to `upto`, in order.
std::vector<archive::Card> CardsChanged(archive::Executor& executor, std::int64_t after,
                                        std::int64_t upto);
std::vector<archive::Entry> EntriesAdded(archive::Executor& executor, std::int64_t after,
                                         std::int64_t upto);

}  // namespace qvx::server
