#include "server/object_store.h"

#include <algorithm>

#include "archive/archive_error.h"
#include "archive/objects.h"
#include "archive/search.h"
#include "server/rows.h"

namespace qvx::server {
namespace {

using archive::ArchiveError;
using archive::Failure;

std::string Select(std::string_view columns) {
  return "SELECT " + std::string(columns) + " FROM ";
}

std::vector<archive::Card> Cards(const std::vector<archive::Row>& rows) {
  std::vector<archive::Card> cards;
  cards.reserve(rows.size());
  for (const archive::Row& row : rows) cards.push_back(archive::CardOf(row));
  return cards;
}

std::vector<archive::Entry> Entries(const std::vector<archive::Row>& rows) {
  std::vector<archive::Entry> entries;
  entries.reserve(rows.size());
  for (const archive::Row& row : rows) entries.push_back(archive::EntryOf(row));
  return entries;
}

// The row's values with the id moved from the first place to the last, for an UPDATE's WHERE.
std::vector<archive::Value> IdLast(std::vector<archive::Value> values) {
  std::rotate(values.begin(), values.begin() + 1, values.end());
  return values;
}

// The card's row with its change number: id first, as INSERT names them.
std::vector<archive::Value> CardRow(const archive::Card& card, std::int64_t seq) {
  std::vector<archive::Value> values = archive::CardValues(card);
  values.push_back(seq);
  return values;
}

void CheckCard(const archive::Card& card) {
  if (const std::string refusal = archive::CardRefusal(card); !refusal.empty())
    throw ArchiveError(Failure::Refused, refusal);
}

// The condition of the archive's own search for `text` ("" for none) and
// its parameters: the same folding and phone digits as the page and the CLI.
std::pair<std::string, std::vector<archive::Value>> SearchCondition(const std::string& text) {
  archive::Statement search = archive::SearchObjects(text);
  static constexpr std::string_view kFrom = "WHERE deleted = 0", kOrder = " ORDER BY";
  const std::size_t from = search.sql.find(kFrom), order = search.sql.rfind(kOrder);
  if (from == std::string::npos || order == std::string::npos || order < from)
    throw ArchiveError(Failure::Other, "поиск архива изменился: сервер его не понимает");
  return {search.sql.substr(from + kFrom.size(), order - from - kFrom.size()),
          std::move(search.params)};
}

}  // namespace

Found SearchCards(archive::Executor& executor, const std::string& text, bool deleted) {
  const auto [condition, searched] = SearchCondition(text);
  const std::string where = " objects WHERE deleted = ?" + condition;
  std::vector<archive::Value> params = {std::int64_t{deleted ? 1 : 0}};
  params.insert(params.end(), searched.begin(), searched.end());
  Found found;
  std::vector<archive::Value> limited = params;
  limited.emplace_back(kSearchLimit);
  // The page of cards is chosen from objects_by_search alone, then read:
  // PostgreSQL would otherwise fetch every row the search passes over to
  // test its texts.
  static constexpr std::string_view kOrder = " ORDER BY changed_at DESC, seq DESC, id DESC";
  found.cards =
      Cards(executor.Run({Select(archive::CardColumns()) + "objects WHERE id IN (SELECT id FROM" +
                              where + std::string(kOrder) + " LIMIT ?)" + std::string(kOrder),
                          limited}));
  if (static_cast<std::int64_t>(found.cards.size()) == kSearchLimit)
    found.more = OnlyInteger(executor.Run({"SELECT count(*) FROM" + where, params})) - kSearchLimit;
  return found;
}

std::optional<archive::Card> CardOfNumber(archive::Executor& executor, const std::string& number) {
  const auto rows = executor.Run(archive::CardByNumber(number));
  if (rows.empty()) return std::nullopt;
  return archive::CardOf(rows[0]);
}

std::optional<archive::Card> CardOfId(archive::Executor& executor, const std::string& id) {
  const auto rows = executor.Run(archive::CardById(id));
  if (rows.empty()) return std::nullopt;
  return archive::CardOf(rows[0]);
}

std::vector<archive::Entry> JournalOfObject(archive::Executor& executor,
                                            const std::string& object_id) {
  return Entries(executor.Run(
      {Select(archive::EntryColumns()) + "entries WHERE object_id = ? ORDER BY at, seq, id",
       {object_id}}));
}

std::int64_t NextChange(archive::Executor& executor) {
  return OnlyInteger(
      executor.Run({"UPDATE counter SET value = value + 1 WHERE id = 1 RETURNING value", {}}));
}

std::int64_t LastChange(archive::Executor& executor) {
  return OnlyInteger(executor.Run({"SELECT value FROM counter WHERE id = 1", {}}));
}

void InsertCardRow(archive::Executor& executor, const archive::Card& card, std::int64_t seq) {
  CheckCard(card);
  const std::vector<archive::Value> values = CardRow(card, seq);
  executor.Run({"INSERT INTO objects (" + std::string(archive::CardColumns()) +
                    ", search_text, phone_digits, seq) VALUES"
                    " (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                values});
}

void UpdateCardRow(archive::Executor& executor, const archive::Card& card, std::int64_t seq) {
  CheckCard(card);
  executor.Run(
      {"UPDATE objects SET number = ?, name = ?, address = ?, phone = ?, note = ?,"
       " settings = ?, created_at = ?, created_by = ?, changed_at = ?, changed_by = ?,"
       " version = ?, deleted = ?, search_text = ?, phone_digits = ?, seq = ?"
       " WHERE id = ?",
       IdLast(CardRow(card, seq))});
}

bool InsertEntryRow(archive::Executor& executor, const archive::Entry& entry, std::int64_t seq) {
  if (const std::string refusal = archive::EntryRefusal(entry); !refusal.empty())
    throw ArchiveError(Failure::Refused, refusal);
  std::vector<archive::Value> values = archive::EntryValues(entry);
  values.push_back(seq);
  return !executor
              .Run({"INSERT INTO entries (" + std::string(archive::EntryColumns()) +
                        ", seq) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                        " ON CONFLICT DO NOTHING RETURNING id",
                    values})
              .empty();
}

bool SettingsJournaled(archive::Executor& executor, const std::string& object_id,
                       const std::string& settings) {
  for (const archive::Row& row :
       executor.Run({"SELECT outcome FROM entries WHERE object_id = ? AND settings = ?",
                     {object_id, archive::Blob{settings}}}))
    if (archive::TakesSettings(TextAt(row, 0))) return true;
  return false;
}

std::int64_t PageEnd(archive::Executor& executor, std::int64_t after, std::int64_t last,
                     std::int64_t page) {
  std::int64_t end = last;
  for (const char* table : {"objects", "entries"}) {
    const auto rows = executor.Run({std::string("SELECT seq FROM ") + table +
                                        " WHERE seq > ? AND seq <= ? ORDER BY seq LIMIT 1 OFFSET ?",
                                    {after, last, page - 1}});
    if (!rows.empty()) end = std::min(end, IntegerAt(rows[0], 0));
  }
  return end;
}

std::vector<archive::Card> CardsChanged(archive::Executor& executor, std::int64_t after,
                                        std::int64_t upto) {
  return Cards(executor.Run(
      {Select(archive::CardColumns()) + "objects WHERE seq > ? AND seq <= ? ORDER BY seq, id",
       {after, upto}}));
}

std::vector<archive::Entry> EntriesAdded(archive::Executor& executor, std::int64_t after,
                                         std::int64_t upto) {
  return Entries(executor.Run(
      {Select(archive::EntryColumns()) + "entries WHERE seq > ? AND seq <= ? ORDER BY seq, at, id",
       {after, upto}}));
}

}  // namespace qvx::server
