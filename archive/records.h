// The archive's two records: the object's card (a customer's site and its
// current settings) and a journal entry (one write, read or comparison, or
// an import). Ids are 128 random bits as 32 hexadecimal digits, unique across
// machines; cards carry a version, bumped on every change; entries are only
// ever appended. Every record is checked here before it is stored and when
// it is read back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/statement.h"

namespace qvx::archive {

// Longest name, address, note, ... in bytes of UTF-8: a card stays small.
inline constexpr std::size_t kMaxFieldBytes = 1000;

struct Card {
  std::string id;
  std::string number;  // unique in the archive, deleted cards too
  std::string name;    // the customer
  std::string address;
  std::string phone;  // the contact's
  std::string note;
  std::string settings;  // the .qvx line, code page 1251, no line end
  std::string created_at, created_by;
  std::string changed_at, changed_by;
  std::int64_t version = 1;
  bool deleted = false;
  bool operator==(const Card&) const = default;
};

// The commands an entry names, in the words the history shows.
inline constexpr std::string_view kWriteCommand = "Записать";
inline constexpr std::string_view kWriteVerifyCommand = "Записать и проверить";
inline constexpr std::string_view kReadCommand = "Прочитать";
inline constexpr std::string_view kCompareCommand = "Сравнить";
inline constexpr std::string_view kImportCommand = "Импорт";

struct Entry {
  std::string id;
  std::string object_id;  // "" for "Без объекта"
  std::string at;         // when
  std::string installer;
  std::string port;          // the port's label; "" for an import
  std::string command;       // kWriteCommand, ..., or a batch's line
  std::string outcome;       // device::OutcomeCode, "" for an import
  std::string cause;         // device::CauseCode, "" for none
  std::string outcome_text;  // the outcome in words, as the face showed it
  std::string settings;      // the line as sent or as read; "" when none
  // Settings that differ from the object's previous settings; none without
  // an object or without a line.
  std::optional<std::int64_t> differing;
  bool operator==(const Entry&) const = default;
};

// A new id: 32 lowercase hexadecimal digits from the system's random source.
std::string NewId();

// The time now as stored: "2026-12-10T12:45:00.123Z".
std::string NowText();

// True for the stored form of a time ("2026-12-10T12:45:00.123Z").
bool IsTimeText(const std::string& text);

// A stored time in the local time zone as the lists show it,
// "10.12.2026 15:45:00"; any other text unchanged.
std::string LocalTimeText(const std::string& stored);

// Why the card cannot be stored, in words ("номер объекта не указан",
// "слишком длинный адрес", "настройки объекта не читаются"), or "".
std::string CardRefusal(const Card& card);

// Why the entry cannot be stored ("неизвестный итог команды \"x\""), or "".
std::string EntryRefusal(const Entry& entry);

// True for UTF-8 without control characters; with `multiline`, tabs and
// line ends are text too (a note), without it they are not (a name).
bool IsPlainText(const std::string& text, bool multiline);

// The values of a card's row: CardColumns(), then its search_text and
// phone_digits (archive/search.h); those of an entry's row: EntryColumns().
// Unchecked: the statements that store them check the record first.
std::vector<Value> CardValues(const Card& card);
std::vector<Value> EntryValues(const Entry& entry);

// The columns of a card's row, in the order CardOf reads; for SELECTs.
std::string_view CardColumns();
// The columns of an entry's row, in the order EntryOf reads.
std::string_view EntryColumns();

// The record of a row of those columns. Throws ArchiveError (Damaged) when
// the row has another shape or its record is refused: a file written by
// hand is no more trusted than the user's input.
Card CardOf(const Row& row);
Entry EntryOf(const Row& row);

// A new card. Throws ArchiveError (Refused) with CardRefusal.
Statement InsertCard(const Card& card);

// The card replacing the stored one of version `card.version - 1`; running
// it changes no row when another writer got there first (see Changes()).
// Throws as InsertCard.
Statement UpdateCard(const Card& card);

// A new entry. Throws ArchiveError (Refused) with EntryRefusal.
Statement InsertEntry(const Entry& entry);

// An entry brought from another archive: kept once, by its id.
Statement MergeEntry(const Entry& entry);

// The statement whose one row is the number of rows the last statement changed.
Statement Changes();

// The card of `number` / of `id`, deleted or not; zero or one row of CardColumns.
Statement CardByNumber(const std::string& number);
Statement CardById(const std::string& id);

// The entries of an object (or, for "", those without one), oldest first.
Statement EntriesOf(const std::string& object_id);
// Every card and every entry, for a merge into another archive.
Statement AllCards();
Statement AllEntries();

}  // namespace qvx::archive
