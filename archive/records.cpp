#include "archive/records.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>

#include "archive/archive_error.h"
#include "archive/search.h"
#include "config_file/settings_line.h"
#include "device/causes.h"
#include "device/command_steps.h"
#include "settings/memory_settings.h"

namespace qvx::archive {
namespace {

constexpr std::string_view kCardColumns =
    "id, number, name, address, phone, note, settings, created_at, created_by, changed_at,"
    " changed_by, version, deleted";
constexpr std::string_view kEntryColumns =
    "id, object_id, at, installer, port, command, outcome, cause, outcome_text, settings,"
    " differing";

bool IsId(const std::string& id) {
  if (id.size() != 32) return false;
  for (const char c : id)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

// True for UTF-8 without control characters but tab and line end: what a
// card's field may hold.

// "" or why the field is refused: "слишком длинный адрес", "недопустимый символ: адрес".
std::string FieldRefusal(const std::string& value, std::string_view what) {
  if (value.size() > kMaxFieldBytes) return "слишком длинное поле: " + std::string(what);
  if (!IsPlainText(value, true)) return "недопустимый символ в поле: " + std::string(what);
  return "";
}

bool SettingsLineReads(const std::string& line) {
  MemorySettings settings;
  return ApplySettingsLine(settings, line);
}

[[noreturn]] void Refuse(const std::string& refusal) {
  throw ArchiveError(Failure::Refused, refusal);
}

[[noreturn]] void DamagedRow(std::string_view what) {
  throw ArchiveError(Failure::Damaged,
                     "файл повреждён: неверная запись (" + std::string(what) + ")");
}

const std::string& TextAt(const Row& row, std::size_t column, std::string_view what) {
  if (column >= row.size() || !std::holds_alternative<std::string>(row[column])) DamagedRow(what);
  return std::get<std::string>(row[column]);
}

const std::string& BlobAt(const Row& row, std::size_t column, std::string_view what) {
  if (column >= row.size() || !std::holds_alternative<Blob>(row[column])) DamagedRow(what);
  return std::get<Blob>(row[column]).bytes;
}

std::int64_t IntegerAt(const Row& row, std::size_t column, std::string_view what) {
  if (column >= row.size() || !std::holds_alternative<std::int64_t>(row[column])) DamagedRow(what);
  return std::get<std::int64_t>(row[column]);
}

void CheckCard(const Card& card) {
  if (const std::string refusal = CardRefusal(card); !refusal.empty()) Refuse(refusal);
}

void CheckEntry(const Entry& entry) {
  if (const std::string refusal = EntryRefusal(entry); !refusal.empty()) Refuse(refusal);
}

}  // namespace

bool IsPlainText(const std::string& text, bool multiline) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c < 0x20 && !(multiline && (c == '\t' || c == '\n'))) return false;
      if (c == 0x7f) return false;
      ++i;
      continue;
    }
    const std::size_t length = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc2 ? 2 : 0;
    if (length == 0 || c > 0xf4 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) return false;
    i += length;
  }
  return true;
}

std::vector<Value> CardValues(const Card& card) {
  return {card.id,
          card.number,
          card.name,
          card.address,
          card.phone,
          card.note,
          Blob{card.settings},
          card.created_at,
          card.created_by,
          card.changed_at,
          card.changed_by,
          card.version,
          std::int64_t{card.deleted ? 1 : 0},
          SearchTextOf(card),
          PhoneDigitsOf(card)};
}

std::vector<Value> EntryValues(const Entry& entry) {
  return {entry.id,
          entry.object_id.empty() ? Value(nullptr) : Value(entry.object_id),
          entry.at,
          entry.installer,
          entry.port,
          entry.command,
          entry.outcome,
          entry.cause,
          entry.outcome_text,
          Blob{entry.settings},
          entry.differing ? Value(*entry.differing) : Value(nullptr)};
}

std::string NewId() {
  std::random_device random;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string id;
  for (int word = 0; word < 4; ++word) {
    std::uint32_t bits = random();
    for (int digit = 0; digit < 8; ++digit, bits >>= 4) id += kHex[bits & 0xf];
  }
  return id;
}

std::string NowText() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                static_cast<int>(millis));
  return text;
}

bool IsTimeText(const std::string& text) {
  // YYYY-MM-DDTHH:MM:SS.mmmZ
  static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd.dddZ";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kShape[i] == 'd' ? (text[i] < '0' || text[i] > '9') : text[i] != kShape[i]) return false;
  }
  return true;
}

std::string LocalTimeText(const std::string& stored) {
  std::tm utc{};
  if (!IsTimeText(stored) ||
      std::sscanf(stored.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &utc.tm_year, &utc.tm_mon,
                  &utc.tm_mday, &utc.tm_hour, &utc.tm_min, &utc.tm_sec) != 6)
    return stored;
  utc.tm_year -= 1900;
  utc.tm_mon -= 1;
  const std::time_t seconds = timegm(&utc);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
  return text;
}

std::string CardRefusal(const Card& card) {
  if (!IsId(card.id)) return "неверный код объекта";
  if (card.number.empty()) return "номер объекта не указан";
  if (card.number.find('\n') != std::string::npos) return "номер объекта в несколько строк";
  const std::pair<const std::string*, std::string_view> fields[] = {
      {&card.number, "номер"},          {&card.name, "название"},
      {&card.address, "адрес"},         {&card.phone, "телефон"},
      {&card.note, "примечание"},       {&card.created_by, "кем создан"},
      {&card.changed_by, "кем изменён"}};
  for (const auto& [value, what] : fields)
    if (std::string refusal = FieldRefusal(*value, what); !refusal.empty()) return refusal;
  if (!IsTimeText(card.created_at) || !IsTimeText(card.changed_at))
    return "неверное время в карточке объекта";
  if (card.version < 1) return "неверная версия карточки объекта";
  if (!SettingsLineReads(card.settings)) return "настройки объекта не читаются";
  return "";
}

std::string EntryRefusal(const Entry& entry) {
  if (!IsId(entry.id)) return "неверный код записи журнала";
  if (!entry.object_id.empty() && !IsId(entry.object_id)) return "неверный код объекта в журнале";
  if (!IsTimeText(entry.at)) return "неверное время записи журнала";
  const std::pair<const std::string*, std::string_view> fields[] = {
      {&entry.installer, "установщик"},
      {&entry.port, "порт"},
      {&entry.command, "команда"},
      {&entry.outcome_text, "итог"}};
  for (const auto& [value, what] : fields)
    if (std::string refusal = FieldRefusal(*value, what); !refusal.empty()) return refusal;
  if (entry.command.empty()) return "команда записи журнала не указана";
  if (!entry.outcome.empty() && !device::OutcomeOfCode(entry.outcome))
    return "неизвестный итог команды \"" + entry.outcome + "\"";
  if (!entry.cause.empty() && !device::CauseOfCode(entry.cause))
    return "неизвестная причина \"" + entry.cause + "\"";
  if (!entry.settings.empty() && !SettingsLineReads(entry.settings))
    return "настройки записи журнала не читаются";
  if (entry.differing && *entry.differing < 0) return "неверное число различий";
  return "";
}

std::string_view CardColumns() {
  return kCardColumns;
}
std::string_view EntryColumns() {
  return kEntryColumns;
}

Card CardOf(const Row& row) {
  if (row.size() != 13) DamagedRow("карточка объекта");
  Card card;
  card.id = TextAt(row, 0, "код объекта");
  card.number = TextAt(row, 1, "номер");
  card.name = TextAt(row, 2, "название");
  card.address = TextAt(row, 3, "адрес");
  card.phone = TextAt(row, 4, "телефон");
  card.note = TextAt(row, 5, "примечание");
  card.settings = BlobAt(row, 6, "настройки");
  card.created_at = TextAt(row, 7, "время создания");
  card.created_by = TextAt(row, 8, "кем создан");
  card.changed_at = TextAt(row, 9, "время изменения");
  card.changed_by = TextAt(row, 10, "кем изменён");
  card.version = IntegerAt(row, 11, "версия");
  card.deleted = IntegerAt(row, 12, "удалён") != 0;
  if (const std::string refusal = CardRefusal(card); !refusal.empty()) DamagedRow(refusal);
  return card;
}

Entry EntryOf(const Row& row) {
  if (row.size() != 11) DamagedRow("запись журнала");
  Entry entry;
  entry.id = TextAt(row, 0, "код записи");
  if (!std::holds_alternative<std::nullptr_t>(row[1])) entry.object_id = TextAt(row, 1, "объект");
  entry.at = TextAt(row, 2, "время");
  entry.installer = TextAt(row, 3, "установщик");
  entry.port = TextAt(row, 4, "порт");
  entry.command = TextAt(row, 5, "команда");
  entry.outcome = TextAt(row, 6, "итог");
  entry.cause = TextAt(row, 7, "причина");
  entry.outcome_text = TextAt(row, 8, "итог словами");
  entry.settings = BlobAt(row, 9, "настройки");
  if (!std::holds_alternative<std::nullptr_t>(row[10]))
    entry.differing = IntegerAt(row, 10, "различия");
  if (const std::string refusal = EntryRefusal(entry); !refusal.empty()) DamagedRow(refusal);
  return entry;
}

Statement InsertCard(const Card& card) {
  CheckCard(card);
  return {"INSERT INTO objects (" + std::string(kCardColumns) +
              ", search_text, phone_digits) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
          CardValues(card)};
}

Statement UpdateCard(const Card& card) {
  CheckCard(card);
  // The id moves from the first place to the WHERE, before the version replaced.
  std::vector<Value> params = CardValues(card);
  std::rotate(params.begin(), params.begin() + 1, params.end());
  params.emplace_back(std::int64_t{card.version - 1});
  return {
      "UPDATE objects SET number = ?, name = ?, address = ?, phone = ?, note = ?,"
      " settings = ?, created_at = ?, created_by = ?, changed_at = ?, changed_by = ?,"
      " version = ?, deleted = ?, search_text = ?, phone_digits = ?"
      " WHERE id = ? AND version = ?",
      std::move(params)};
}

Statement InsertEntry(const Entry& entry) {
  CheckEntry(entry);
  return {"INSERT INTO entries (" + std::string(kEntryColumns) +
              ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
          EntryValues(entry)};
}

Statement MergeEntry(const Entry& entry) {
  Statement statement = InsertEntry(entry);
  statement.sql.replace(0, 6, "INSERT OR IGNORE");
  return statement;
}

Statement Changes() {
  return {"SELECT changes()", {}};
}

Statement CardByNumber(const std::string& number) {
  return {"SELECT " + std::string(kCardColumns) + " FROM objects WHERE number = ?", {number}};
}

Statement CardById(const std::string& id) {
  return {"SELECT " + std::string(kCardColumns) + " FROM objects WHERE id = ?", {id}};
}

Statement EntriesOf(const std::string& object_id) {
  if (object_id.empty())
    return {"SELECT " + std::string(kEntryColumns) +
                " FROM entries WHERE object_id IS NULL ORDER BY at, rowid",
            {}};
  return {"SELECT " + std::string(kEntryColumns) +
              " FROM entries WHERE object_id = ? ORDER BY at, rowid",
          {object_id}};
}

Statement AllCards() {
  return {"SELECT " + std::string(kCardColumns) + " FROM objects ORDER BY rowid", {}};
}

Statement AllEntries() {
  return {"SELECT " + std::string(kEntryColumns) + " FROM entries ORDER BY rowid", {}};
}

}  // namespace qvx::archive
