#include "archive/sync_tables.h"

#include "archive/archive_error.h"

namespace qvx::archive {
namespace {

std::int64_t IntegerOf(const std::vector<Row>& rows, std::size_t column = 0) {
  if (rows.size() != 1 || rows[0].size() <= column ||
      !std::holds_alternative<std::int64_t>(rows[0][column]))
    throw ArchiveError(Failure::Damaged, "файл повреждён: неверные сведения синхронизации");
  return std::get<std::int64_t>(rows[0][column]);
}

// Whether a card's own version is not the server's (0 for one it lacks).
constexpr std::string_view kUnsentCard =
    "coalesce((SELECT s.version FROM cards_synced s WHERE s.id = objects.id), 0) <> version"
    " AND id NOT IN (SELECT mine_id FROM conflicts)";

}  // namespace

std::optional<std::string> SyncValue(Executor& executor, const std::string& key) {
  const std::vector<Row> rows = executor.Run({"SELECT value FROM sync_state WHERE key = ?", {key}});
  if (rows.empty()) return std::nullopt;
  if (rows[0].size() != 1 || !std::holds_alternative<std::string>(rows[0][0]))
    throw ArchiveError(Failure::Damaged, "файл повреждён: неверные сведения синхронизации");
  return std::get<std::string>(rows[0][0]);
}

Statement SetSyncValue(const std::string& key, const std::string& value) {
  return {"INSERT OR REPLACE INTO sync_state (key, value) VALUES (?, ?)", {key, value}};
}

std::vector<Statement> ForgetServer() {
  return {{"DELETE FROM sync_state", {}},
          {"DELETE FROM entries_sent", {}},
          {"DELETE FROM cards_synced", {}},
          {"DELETE FROM conflicts", {}}};
}

Statement MarkEntrySent(const std::string& id) {
  return {"INSERT OR IGNORE INTO entries_sent (id) VALUES (?)", {id}};
}

std::int64_t ServerVersionOf(Executor& executor, const std::string& id) {
  const std::vector<Row> rows =
      executor.Run({"SELECT version FROM cards_synced WHERE id = ?", {id}});
  return rows.empty() ? 0 : IntegerOf(rows);
}

Statement SetServerVersion(const std::string& id, std::int64_t version) {
  return {"INSERT OR REPLACE INTO cards_synced (id, version) VALUES (?, ?)", {id, version}};
}

Statement UnsentEntries(std::size_t limit) {
  return {"SELECT " + std::string(EntryColumns()) +
              " FROM entries WHERE id NOT IN (SELECT id FROM entries_sent) ORDER BY rowid LIMIT ?",
          {static_cast<std::int64_t>(limit)}};
}

Statement UnsentCards(std::size_t limit) {
  return {"SELECT " + std::string(CardColumns()) +
              ", coalesce((SELECT s.version FROM cards_synced s WHERE s.id = objects.id), 0)"
              " FROM objects WHERE " +
              std::string(kUnsentCard) + " ORDER BY rowid LIMIT ?",
          {static_cast<std::int64_t>(limit)}};
}

Statement WaitingCounts() {
  return {
      "SELECT (SELECT count(*) FROM entries WHERE id NOT IN (SELECT id FROM entries_sent)),"
      " (SELECT count(*) FROM objects WHERE " +
          std::string(kUnsentCard) +
          "),"
          " (SELECT count(*) FROM conflicts)",
      {}};
}

Statement StoreConflict(const std::string& mine_id, const Card& theirs) {
  // The same columns and checks as a card of the archive's own.
  Statement insert = InsertCard(theirs);
  insert.params.resize(13);  // without the search's columns
  insert.params.insert(insert.params.begin(), mine_id);
  return {"INSERT OR REPLACE INTO conflicts (mine_id, " + std::string(CardColumns()) +
              ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
          std::move(insert.params)};
}

Statement DeleteConflict(const std::string& mine_id) {
  return {"DELETE FROM conflicts WHERE mine_id = ?", {mine_id}};
}

Statement ConflictRows() {
  return {"SELECT mine_id, " + std::string(CardColumns()) + " FROM conflicts ORDER BY rowid", {}};
}

Statement ConflictRow(const std::string& mine_id) {
  return {"SELECT mine_id, " + std::string(CardColumns()) + " FROM conflicts WHERE mine_id = ?",
          {mine_id}};
}

std::int64_t ChangedRows(Executor& executor) {
  return IntegerOf(executor.Run(Changes()));
}

}  // namespace qvx::archive
