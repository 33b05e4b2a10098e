#include "archive/objects.h"

#include <algorithm>

#include "archive/archive_error.h"
#include "archive/schema.h"
#include "archive/search.h"
#include "config_file/settings_line.h"
#include "device/command_steps.h"
#include "settings/memory_settings.h"
#include "settings/settings_diff.h"

namespace qvx::archive {
namespace {

std::optional<Card> OneCard(Executor& executor, const Statement& statement) {
  const std::vector<Row> rows = executor.Run(statement);
  if (rows.empty()) return std::nullopt;
  return CardOf(rows.front());
}

std::int64_t ChangedRows(Executor& executor) {
  const std::vector<Row> rows = executor.Run(Changes());
  if (rows.size() != 1 || rows[0].size() != 1 || !std::holds_alternative<std::int64_t>(rows[0][0]))
    return 0;
  return std::get<std::int64_t>(rows[0][0]);
}

// Refuses a number that another card holds.
void CheckNumberFree(Executor& executor, const Card& card) {
  const std::optional<Card> holder = FindObject(executor, card.number);
  if (holder && holder->id != card.id)
    throw ArchiveError(Failure::Refused, "номер " + card.number + " уже занят объектом «" +
                                             holder->name + "»" +
                                             (holder->deleted ? " (удалённым)" : ""));
}

}  // namespace

void PrepareArchive(Executor& executor) {
  const SchemaState state = SchemaStateOf(executor.Run(ReadSchemaState()));
  const std::vector<Statement> upgrade = UpgradeStatements(state);
  if (upgrade.empty()) return;
  Transaction transaction(executor);
  // Another program may have prepared it while this one waited for the lock.
  for (const Statement& statement :
       UpgradeStatements(SchemaStateOf(executor.Run(ReadSchemaState()))))
    executor.Run(statement);
  transaction.Commit();
}

bool CheckArchive(Executor& executor) {
  const SchemaState state = SchemaStateOf(executor.Run(ReadSchemaState()));
  const std::vector<Statement> upgrade = UpgradeStatements(state);
  if (upgrade.empty()) return true;
  if (state.version == 0) return false;
  // An older archive is read once it has been upgraded where it lies.
  throw ArchiveError(Failure::Refused, "архив старой версии: откройте его сначала для записи");
}

std::vector<Card> ListObjects(Executor& executor, const std::string& text) {
  std::vector<Card> cards;
  for (const Row& row : executor.Run(SearchObjects(text))) cards.push_back(CardOf(row));
  return cards;
}

ObjectList FirstObjects(Executor& executor, const std::string& text, std::int64_t limit) {
  ObjectList list;
  for (const Row& row : executor.Run(SearchObjects(text, limit))) list.cards.push_back(CardOf(row));
  if (static_cast<std::int64_t>(list.cards.size()) <= limit) return list;
  list.cards.resize(limit);
  const std::vector<Row> counted = executor.Run(CountObjects(text));
  if (counted.size() == 1 && counted[0].size() == 1 &&
      std::holds_alternative<std::int64_t>(counted[0][0]))
    list.more = std::max<std::int64_t>(std::get<std::int64_t>(counted[0][0]) - limit, 1);
  else
    list.more = 1;  // at least the one row past the limit
  return list;
}

std::optional<Card> FindObject(Executor& executor, const std::string& number) {
  return OneCard(executor, CardByNumber(number));
}

std::vector<Entry> JournalOf(Executor& executor, const std::string& object_id) {
  std::vector<Entry> entries;
  for (const Row& row : executor.Run(EntriesOf(object_id))) entries.push_back(EntryOf(row));
  return entries;
}

Card CreateObject(Executor& executor, Card card, const std::string& installer) {
  card.id = NewId();
  card.version = 1;
  card.created_at = card.changed_at = NowText();
  card.created_by = card.changed_by = installer;
  const Statement insert = InsertCard(card);  // refused before any lock is taken
  Transaction transaction(executor);
  CheckNumberFree(executor, card);
  executor.Run(insert);
  transaction.Commit();
  return card;
}

Card ChangeObject(Executor& executor, Card card, const std::string& installer) {
  card.version += 1;
  card.changed_at = NowText();
  card.changed_by = installer;
  const Statement update = UpdateCard(card);
  Transaction transaction(executor);
  CheckNumberFree(executor, card);
  executor.Run(update);
  if (ChangedRows(executor) != 1)
    throw ArchiveError(Failure::Refused,
                       "карточку объекта " + card.number + " уже изменили: откройте её заново");
  transaction.Commit();
  return card;
}

bool TakesSettings(const std::string& outcome) {
  const auto known = device::OutcomeOfCode(outcome);
  return known == device::Outcome::Sent || known == device::Outcome::VerifyEqual ||
         known == device::Outcome::ReadSuccess;
}

std::optional<std::int64_t> DifferingCount(const std::string& before, const std::string& after) {
  MemorySettings a, b;
  if (!ApplySettingsLine(a, before) || !ApplySettingsLine(b, after)) return std::nullopt;
  return static_cast<std::int64_t>(DifferingSettings(a, b).size());
}

Entry JournalCommand(Executor& executor, const std::string& object_id, Entry entry) {
  entry.id = NewId();
  entry.at = NowText();
  entry.object_id = object_id;
  entry.differing.reset();
  if (const std::string refusal = EntryRefusal(entry); !refusal.empty())
    throw ArchiveError(Failure::Refused, refusal);
  Transaction transaction(executor);
  if (!object_id.empty()) {
    std::optional<Card> card = OneCard(executor, CardById(object_id));
    if (!card) throw ArchiveError(Failure::Missing, "объекта нет в архиве");
    if (!entry.settings.empty()) entry.differing = DifferingCount(card->settings, entry.settings);
    if (TakesSettings(entry.outcome) && !entry.settings.empty() &&
        card->settings != entry.settings) {
      card->settings = entry.settings;
      card->version += 1;
      card->changed_at = entry.at;
      card->changed_by = entry.installer;
      executor.Run(UpdateCard(*card));
    }
  }
  executor.Run(InsertEntry(entry));
  transaction.Commit();
  return entry;
}

}  // namespace qvx::archive
