#include "archive/import.h"

#include "archive/archive_error.h"
#include "archive/objects.h"
#include "archive/records.h"

namespace qvx::archive {
namespace {

// The card of that name changed last; deleted ones are left alone.
Statement NewestByName(const std::string& name) {
  return {"SELECT " + std::string(CardColumns()) +
              " FROM objects WHERE name = ? AND deleted = 0 ORDER BY changed_at DESC LIMIT 1",
          {name}};
}

// One above the highest number made only of digits ("1" in an archive with none).
Statement NextNumber() {
  return {
      "SELECT coalesce(max(CAST(number AS INTEGER)), 0) + 1 FROM objects"
      " WHERE number <> '' AND number NOT GLOB '*[^0-9]*' AND length(number) < 19",
      {}};
}

std::string NumberFrom(const std::vector<Row>& rows) {
  if (rows.size() != 1 || rows[0].size() != 1 || !std::holds_alternative<std::int64_t>(rows[0][0]))
    return "1";
  return std::to_string(std::get<std::int64_t>(rows[0][0]));
}

// `number`, or "17/2", "17/3", ... when another card holds it.
std::string FreeNumber(Executor& executor, const Card& card) {
  std::string number = card.number;
  for (int suffix = 2;; ++suffix) {
    const std::optional<Card> holder = FindObject(executor, number);
    if (!holder || holder->id == card.id) return number;
    number = card.number + "/" + std::to_string(suffix);
  }
}

}  // namespace

std::string ObjectNameOfFile(const std::string& path) {
  std::string name =
      path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
  if (name.size() > 4) {
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (extension == ".qvx") name.resize(name.size() - 4);
  }
  return name;
}

ImportResult ImportSettingsFile(Executor& executor, const std::string& file_name,
                                const std::string& line, const std::string& installer) {
  const std::string name = ObjectNameOfFile(file_name);
  if (!DifferingCount(line, line))
    throw ArchiveError(Failure::Refused, "файл не является файлом настроек");
  Transaction transaction(executor);
  Entry entry;
  entry.installer = installer;
  entry.command = std::string(kImportCommand);
  entry.outcome_text = "файл " + file_name.substr(file_name.find_last_of('/') + 1);
  entry.settings = line;
  ImportResult result{Imported::Changed, ""};
  std::string object_id;
  const std::vector<Row> rows = executor.Run(NewestByName(name));
  if (!rows.empty()) {
    Card card = CardOf(rows.front());
    if (card.settings == line) return {Imported::Unchanged, card.number};
    entry.differing = DifferingCount(card.settings, line);
    card.settings = line;
    card = ChangeObject(executor, card, installer);
    object_id = card.id;
    result.number = card.number;
  } else {
    Card card;
    card.name = name;
    card.settings = line;
    card.number = NumberFrom(executor.Run(NextNumber()));
    object_id = CreateObject(executor, card, installer).id;
    result = {Imported::Added, card.number};
  }
  entry.id = NewId();
  entry.at = NowText();
  entry.object_id = object_id;
  executor.Run(InsertEntry(entry));
  transaction.Commit();
  return result;
}

ArchiveContents ReadArchive(Executor& from) {
  ArchiveContents contents;
  if (!CheckArchive(from)) return contents;
  for (const Row& row : from.Run(AllCards())) contents.cards.push_back(CardOf(row));
  for (const Row& row : from.Run(AllEntries())) contents.entries.push_back(EntryOf(row));
  return contents;
}

MergeCounts MergeArchive(Executor& into, Executor& from) {
  // Everything of `from` is read and checked before anything is written.
  return MergeContents(into, ReadArchive(from));
}

MergeCounts MergeContents(Executor& into, ArchiveContents contents) {
  MergeCounts counts;
  Transaction transaction(into);
  for (Card& card : contents.cards) {
    const std::vector<Row> rows = into.Run(CardById(card.id));
    if (rows.empty()) {
      const std::string number = FreeNumber(into, card);
      if (number != card.number)
        counts.renumbered.push_back(card.number + " → " + number + " (" + card.name + ")");
      card.number = number;
      into.Run(InsertCard(card));
      ++counts.cards_added;
      continue;
    }
    const Card here = CardOf(rows.front());
    if (card.version <= here.version) continue;
    // The number stays as it is here when the other's is taken by another card.
    if (card.number != here.number && FreeNumber(into, card) != card.number)
      card.number = here.number;
    Statement update = UpdateCard(card);
    update.params.back() = here.version;  // over whatever version is here
    into.Run(update);
    ++counts.cards_updated;
  }
  for (const Entry& entry : contents.entries) {
    into.Run(MergeEntry(entry));
    const std::vector<Row> changed = into.Run(Changes());
    if (!changed.empty() && changed[0] == Row{Value(std::int64_t{1})}) ++counts.entries_added;
  }
  transaction.Commit();
  return counts;
}

}  // namespace qvx::archive
