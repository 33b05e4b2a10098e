#include "archive/sync.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "archive/archive_error.h"
#include "archive/objects.h"
#include "archive/records.h"
#include "archive/records_json.h"
#include "archive/sync_tables.h"

namespace qvx::archive {
namespace {

using Json = nlohmann::json;

[[noreturn]] void Refuse(const std::string& words) {
  throw ArchiveError(Failure::Refused, "ответ сервера отклонён: " + words);
}

Json Parse(const std::string& text) {
  Json json = Json::parse(text, nullptr, false);
  if (json.is_discarded() || !json.is_object()) Refuse("это не объект JSON");
  return json;
}

const Json& ArrayOf(const Json& json, const char* key) {
  const auto found = json.find(key);
  if (found == json.end() || !found->is_array())
    Refuse(std::string("поле \"") + key + "\" не является списком");
  return *found;
}

std::int64_t CursorOf(const Json& json) {
  const auto found = json.find("cursor");
  if (found == json.end() || !found->is_number_integer() || found->get<std::int64_t>() < 0)
    Refuse("неверный курсор");
  return found->get<std::int64_t>();
}

// A record of the answer, its refusal named as the answer's.
template <typename Read>
auto Checked(Read read) -> decltype(read()) {
  try {
    return read();
  } catch (const ArchiveError& error) {
    Refuse(error.what());
  } catch (const Json::exception&) {
    Refuse("неверная запись");
  }
}

struct Answer {
  std::int64_t cursor = 0;
  std::vector<Card> cards;
  std::vector<Entry> entries;
  std::vector<std::pair<Card, Card>> conflicts;  // mine, theirs
};

// Every record of the answer read and checked before anything is written.
Answer ReadAnswer(const std::string& text) {
  const Json json = Parse(text);
  Answer answer;
  answer.cursor = CursorOf(json);
  std::set<std::string> ids;
  for (const Json& card : ArrayOf(json, "cards")) {
    answer.cards.push_back(Checked([&] { return CardFromJson(card); }));
    if (!ids.insert(answer.cards.back().id).second) Refuse("карточка объекта повторяется");
  }
  for (const Json& entry : ArrayOf(json, "entries"))
    answer.entries.push_back(Checked([&] { return EntryFromJson(entry); }));
  for (const Json& conflict : ArrayOf(json, "conflicts"))
    answer.conflicts.emplace_back(Checked([&] { return CardFromJson(conflict.at("mine")); }),
                                  Checked([&] { return CardFromJson(conflict.at("theirs")); }));
  return answer;
}

struct Sent {
  std::vector<Card> cards;
  std::vector<std::string> entry_ids;
};

// The request as SyncRequest built it.
Sent ReadRequest(const std::string& text) {
  const Json json = Json::parse(text, nullptr, false);
  if (json.is_discarded() || !json.is_object())
    throw ArchiveError(Failure::Refused, "запрос синхронизации не читается");
  Sent sent;
  try {
    for (const Json& pushed : json.at("cards"))
      sent.cards.push_back(CardFromJson(pushed.at("card")));
    for (const Json& entry : json.at("entries")) sent.entry_ids.push_back(entry.at("id"));
  } catch (const Json::exception&) {
    throw ArchiveError(Failure::Refused, "запрос синхронизации не читается");
  }
  return sent;
}

std::optional<Card> CardWithId(Executor& executor, const std::string& id) {
  const std::vector<Row> rows = executor.Run(CardById(id));
  if (rows.empty()) return std::nullopt;
  return CardOf(rows.front());
}

// The server's cards: taken where the card here has no unsent change, kept
// beside it as a conflict where it has.
void TakeCards(Executor& executor, const std::vector<Card>& cards, SyncApplied& applied,
               std::set<std::string>& conflicted) {
  struct Taking {
    const Card* card;
    std::optional<Card> here;
  };
  std::vector<Taking> taking;
  for (const Card& card : cards) {
    std::optional<Card> here = CardWithId(executor, card.id);
    const std::int64_t base = ServerVersionOf(executor, card.id);
    if (here && *here == card) {  // the same on both sides already
      executor.Run(SetServerVersion(card.id, card.version));
      continue;
    }
    // What the server held before, or this archive's own change coming back.
    if (base == card.version) continue;
    if (here && here->version != base) {
      executor.Run(StoreConflict(here->id, card));
      conflicted.insert(here->id);
      continue;
    }
    taking.push_back({&card, std::move(here)});
  }
  // Numbers may pass between cards taken together: each lets go of its own first.
  for (const Taking& each : taking)
    if (each.here) executor.Run({"UPDATE objects SET number = id WHERE id = ?", {each.card->id}});
  for (const Taking& each : taking) {
    const Card& card = *each.card;
    const std::optional<Card> holder = FindObject(executor, card.number);
    if (holder && holder->id != card.id) {
      // A card made here holds the number: the server's waits beside it.
      executor.Run(StoreConflict(holder->id, card));
      conflicted.insert(holder->id);
      if (each.here)
        executor.Run({"UPDATE objects SET number = ? WHERE id = ?", {each.here->number, card.id}});
      continue;
    }
    if (each.here) {
      Statement update = UpdateCard(card);
      update.params.back() = each.here->version;  // over the version here, whatever the server's
      executor.Run(update);
    } else {
      executor.Run(InsertCard(card));
    }
    executor.Run(SetServerVersion(card.id, card.version));
    ++applied.cards;
  }
}

std::int64_t StoredCursor(Executor& executor) {
  const std::optional<std::string> text = SyncValue(executor, kCursorKey);
  if (!text) return 0;
  try {
    std::size_t end = 0;
    const long long cursor = std::stoll(*text, &end);
    if (end == text->size() && cursor >= 0) return cursor;
  } catch (const std::exception&) {
  }
  throw ArchiveError(Failure::Damaged, "файл повреждён: неверный курсор синхронизации");
}

}  // namespace

std::string SyncRequest(Executor& executor, const std::string& origin, std::size_t batch,
                        bool cards) {
  if (SyncValue(executor, kOriginKey) != origin) {
    Transaction transaction(executor);
    for (const Statement& statement : ForgetServer()) executor.Run(statement);
    executor.Run(SetSyncValue(kOriginKey, origin));
    transaction.Commit();
  }
  nlohmann::ordered_json body = {{"cursor", StoredCursor(executor)},
                                 {"cards", nlohmann::ordered_json::array()},
                                 {"entries", nlohmann::ordered_json::array()}};
  for (Row row : executor.Run(UnsentCards(cards ? batch : 0))) {
    const Value base = row.back();
    row.pop_back();
    if (!std::holds_alternative<std::int64_t>(base))
      throw ArchiveError(Failure::Damaged, "файл повреждён: неверные сведения синхронизации");
    body["cards"].push_back(
        {{"card", CardJson(CardOf(row))}, {"base", std::get<std::int64_t>(base)}});
  }
  for (const Row& row : executor.Run(UnsentEntries(batch)))
    body["entries"].push_back(EntryJson(EntryOf(row)));
  return body.dump();
}

SyncApplied ApplySyncAnswer(Executor& executor, const std::string& origin,
                            const std::string& request, const std::string& answer) {
  const Sent sent = ReadRequest(request);
  const Answer theirs = ReadAnswer(answer);
  SyncApplied applied;
  applied.sent = static_cast<std::int64_t>(sent.cards.size() + sent.entry_ids.size());
  Transaction transaction(executor);
  if (SyncValue(executor, kOriginKey) != origin)
    throw ArchiveError(Failure::Refused, "архив с тех пор синхронизирован с другим сервером");
  // One request is one transaction on the server: all it carried is there.
  for (const std::string& id : sent.entry_ids) executor.Run(MarkEntrySent(id));
  std::set<std::string> conflicted;
  for (const auto& [mine, card] : theirs.conflicts) {
    if (!CardWithId(executor, mine.id)) continue;  // no card here to keep beside it
    executor.Run(StoreConflict(mine.id, card));
    conflicted.insert(mine.id);
  }
  // A card taken is on the server as sent, whatever changed here since.
  for (const Card& card : sent.cards)
    if (!conflicted.count(card.id)) executor.Run(SetServerVersion(card.id, card.version));
  TakeCards(executor, theirs.cards, applied, conflicted);
  applied.conflicts = static_cast<std::int64_t>(conflicted.size());
  for (const Entry& entry : theirs.entries) {
    executor.Run(MergeEntry(entry));
    applied.entries += ChangedRows(executor);
    executor.Run(MarkEntrySent(entry.id));
  }
  executor.Run(SetSyncValue(kCursorKey, std::to_string(theirs.cursor)));
  transaction.Commit();
  return applied;
}

SyncWaiting WaitingForSync(Executor& executor) {
  const std::vector<Row> rows = executor.Run(WaitingCounts());
  const auto count = [&](std::size_t column) {
    if (rows.size() != 1 || rows[0].size() != 3 ||
        !std::holds_alternative<std::int64_t>(rows[0][column]))
      throw ArchiveError(Failure::Damaged, "файл повреждён: неверные сведения синхронизации");
    return std::get<std::int64_t>(rows[0][column]);
  };
  return {count(0), count(1), count(2)};
}

}  // namespace qvx::archive
