// The cards kept both ways by a sync (archive/sync.h): the card here beside
// the server's, until the installer keeps one of them. Neither is ever
// overwritten without that choice.
#pragma once

#include <string>
#include <vector>

#include "archive/executor.h"
#include "archive/records.h"

namespace qvx::archive {

struct Conflict {
  Card mine;    // the card here
  Card theirs;  // the server's: the same object, or another holding mine's number
};

// Every conflict waiting, oldest first.
std::vector<Conflict> ListConflicts(Executor& executor);

enum class Settle {
  KeepMine,    // mine goes to the server again, over the server's version
  TakeTheirs,  // the server's card replaces mine
};

// Settles the conflict of the card `mine_id`, in one transaction, by
// `installer`, and returns the card it leaves here. KeepMine: mine is
// pushed at the next sync with base = theirs.version (its version above
// it). TakeTheirs: the server's card is taken as it is; where it is another
// object holding mine's number, mine moves to a free number ("17/2") and
// stays to be sent. Throws ArchiveError: Missing when no such conflict
// waits; Refused for KeepMine of a number the server gives another object
// ("номер 17 на сервере у другого объекта: возьмите карточку с сервера,
// ваша получит свободный номер").
Card SettleConflict(Executor& executor, const std::string& mine_id, Settle settle,
                    const std::string& installer);

}  // namespace qvx::archive
