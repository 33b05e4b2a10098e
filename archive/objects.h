// The archive's operations over any executor: opening (creating or
// upgrading the tables), the list and the card, a new card, and a command
// journaled under an object. Every change runs in one transaction. The page
// runs these same functions over sqlite-wasm; the CLI over libsqlite3.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/executor.h"
#include "archive/records.h"

namespace qvx::archive {

// Checks the file's version and brings it up to date: an empty file gets
// the tables. Throws ArchiveError (NotArchive, Newer, Damaged, ...). Call
// first on every opened file.
void PrepareArchive(Executor& executor);

// As PrepareArchive, but changes nothing: a file to read from only, which
// must be an archive of kSchemaVersion or an empty file (nothing to read).
// Returns false for an empty file.
bool CheckArchive(Executor& executor);

// Cards as SearchObjects(text) finds them (every one for ""), newest change first.
std::vector<Card> ListObjects(Executor& executor, const std::string& text = "");

// The first `limit` cards that ListObjects(executor, text) would give, and
// how many more match (counted only when there are more).
struct ObjectList {
  std::vector<Card> cards;
  std::int64_t more = 0;
};
ObjectList FirstObjects(Executor& executor, const std::string& text, std::int64_t limit);

// The card of `number`, deleted or not.
std::optional<Card> FindObject(Executor& executor, const std::string& number);

// The object's journal (or that of "Без объекта" for ""), oldest first.
std::vector<Entry> JournalOf(Executor& executor, const std::string& object_id);

// Stores a new card with a fresh id, version 1, created and changed now by
// `installer`. Throws ArchiveError (Refused): "номер 17 уже занят объектом
// «Иванов»", or the card's refusal.
Card CreateObject(Executor& executor, Card card, const std::string& installer);

// Stores a changed card: version bumped, changed now by `installer`. Throws
// ArchiveError (Refused) when the number is taken, or when the stored card
// is no longer `card.version` ("карточку объекта 17 уже изменили: откройте
// её заново").
Card ChangeObject(Executor& executor, Card card, const std::string& installer);

// True for the outcomes after which the device holds the entry's settings
// (sent, verified equal, read): they become the object's current settings.
bool TakesSettings(const std::string& outcome);

// Journals one command: `entry` with a fresh id and time, under the object
// `object_id` ("" for "Без объекта"), its settings counted against the
// object's current ones; when TakesSettings, the object's settings become
// the entry's. One transaction. Returns the stored entry. Throws
// ArchiveError: Refused for a refused entry, Missing when the object is gone.
Entry JournalCommand(Executor& executor, const std::string& object_id, Entry entry);

// The number of settings in which two lines differ; none when one does not read.
std::optional<std::int64_t> DifferingCount(const std::string& before, const std::string& after);

}  // namespace qvx::archive
