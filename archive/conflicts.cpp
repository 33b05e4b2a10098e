#include "archive/conflicts.h"

#include <optional>

#include "archive/archive_error.h"
#include "archive/objects.h"
#include "archive/sync_tables.h"

namespace qvx::archive {
namespace {

// A conflict's row: mine_id, then theirs in CardColumns().
std::pair<std::string, Card> ConflictOf(Row row) {
  if (row.empty() || !std::holds_alternative<std::string>(row.front()))
    throw ArchiveError(Failure::Damaged, "файл повреждён: неверная запись конфликта");
  std::string mine_id = std::get<std::string>(row.front());
  row.erase(row.begin());
  return {std::move(mine_id), CardOf(row)};
}

std::optional<Card> CardWithId(Executor& executor, const std::string& id) {
  const std::vector<Row> rows = executor.Run(CardById(id));
  if (rows.empty()) return std::nullopt;
  return CardOf(rows.front());
}

// `number`, or "17/2", "17/3", ... when another card holds it.
std::string FreeNumberFor(Executor& executor, const Card& card) {
  std::string number = card.number;
  for (int suffix = 2;; ++suffix) {
    const std::optional<Card> holder = FindObject(executor, number);
    if (!holder || holder->id == card.id) return number;
    number = card.number + "/" + std::to_string(suffix);
  }
}

// The server's card over the card here of its id, or new here.
void Take(Executor& executor, const Card& theirs) {
  if (const std::optional<Card> here = CardWithId(executor, theirs.id)) {
    Statement update = UpdateCard(theirs);
    update.params.back() = here->version;
    executor.Run(update);
  } else {
    executor.Run(InsertCard(theirs));
  }
  executor.Run(SetServerVersion(theirs.id, theirs.version));
}

}  // namespace

std::vector<Conflict> ListConflicts(Executor& executor) {
  std::vector<Conflict> conflicts;
  for (const Row& row : executor.Run(ConflictRows())) {
    auto [mine_id, theirs] = ConflictOf(row);
    std::optional<Card> mine = CardWithId(executor, mine_id);
    if (mine) conflicts.push_back({std::move(*mine), std::move(theirs)});
  }
  return conflicts;
}

Card SettleConflict(Executor& executor, const std::string& mine_id, Settle settle,
                    const std::string& installer) {
  Transaction transaction(executor);
  const std::vector<Row> rows = executor.Run(ConflictRow(mine_id));
  std::optional<Card> mine = CardWithId(executor, mine_id);
  if (rows.empty() || !mine) throw ArchiveError(Failure::Missing, "такого конфликта нет");
  const Card theirs = ConflictOf(rows.front()).second;
  executor.Run(DeleteConflict(mine_id));
  Card left;
  if (theirs.id == mine->id) {
    if (settle == Settle::KeepMine) {
      // Mine as it is, a version above the server's, so that the server takes it.
      left = *mine;
      left.version = theirs.version + 1;
      Statement update = UpdateCard(left);
      update.params.back() = mine->version;
      executor.Run(update);
      executor.Run(SetServerVersion(left.id, theirs.version));
    } else {
      Take(executor, theirs);
      left = theirs;
    }
  } else {
    if (settle == Settle::KeepMine)
      throw ArchiveError(Failure::Refused, "номер " + mine->number +
                                               " на сервере у другого объекта: возьмите карточку "
                                               "с сервера, ваша получит свободный номер");
    // Mine moves aside first, under a number nobody holds with theirs taken.
    Card moved = *mine;
    executor.Run({"UPDATE objects SET number = id WHERE id = ?", {mine->id}});
    Take(executor, theirs);
    moved.number = FreeNumberFor(executor, *mine);
    left = ChangeObject(executor, moved, installer);
  }
  transaction.Commit();
  return left;
}

}  // namespace qvx::archive
