// Bringing in what an installer has already: a .qvx file becomes an object
// named by its file name, its settings the first entry; another archive is
// merged, every entry kept once (by its id) and of two versions of a card
// the higher (a tie keeps the one here).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "archive/executor.h"
#include "archive/records.h"

namespace qvx::archive {

// The object's name for a settings file: its name without the folder and
// without ".qvx" (any case): "/дом/Иванов И. И.qvx" gives "Иванов И. И".
std::string ObjectNameOfFile(const std::string& path);

enum class Imported {
  Added,      // a new object with its first entry
  Changed,    // an object of that name got an entry and these settings
  Unchanged,  // an object of that name holds these settings already
};

struct ImportResult {
  Imported imported = Imported::Added;
  std::string number;  // the object's
};

// The settings line (code page 1251) of the file `file_name` under the
// object ObjectNameOfFile(file_name): a new one numbered after the highest
// all-digit number, or the newest of that name, whose settings it replaces;
// the entry says "файл NAME.qvx". One transaction. Throws ArchiveError
// (Refused: "файл не является файлом настроек" for a line that does not read).
ImportResult ImportSettingsFile(Executor& executor, const std::string& file_name,
                                const std::string& line, const std::string& installer);

struct MergeCounts {
  std::size_t cards_added = 0;
  std::size_t cards_updated = 0;  // a higher version replaced the one here
  std::size_t entries_added = 0;
  // A card whose number another card holds here keeps its data under a free
  // number: "17 → 17/2 (Иванов)".
  std::vector<std::string> renumbered;
};

// Every card and entry of another archive, each checked as it is read.
struct ArchiveContents {
  std::vector<Card> cards;
  std::vector<Entry> entries;
};

// Reads `from` (an archive of this version, or an empty file: nothing),
// changing nothing. Throws ArchiveError for the first row refused: a
// damaged archive is not merged at all.
ArchiveContents ReadArchive(Executor& from);

// Merges `contents` into `into`, in one transaction.
MergeCounts MergeContents(Executor& into, ArchiveContents contents);

// ReadArchive, then MergeContents.
MergeCounts MergeArchive(Executor& into, Executor& from);

}  // namespace qvx::archive
