// The records' checks and the search, on a real archive file.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/archive_error.h"
#include "archive/objects.h"
#include "archive/search.h"
#include "archive/sqlite_archive.h"
#include "config_file/settings_line.h"
#include "settings/memory_settings.h"
#include "tests/support/scratch_folder.h"

namespace qvx::archive {
namespace {

std::string LineWithPhone(const std::string& field, const std::string& phone) {
  MemorySettings settings;
  settings.SetText(field, phone);
  return BuildSettingsLine(settings).line;
}

Card ValidCard() {
  Card card;
  card.id = NewId();
  card.number = "17";
  card.name = "Иванов";
  card.settings = LineWithPhone("Edit16", "+7 916 000-00-00");
  card.created_at = card.changed_at = "2026-12-10T12:45:00.123Z";
  return card;
}

TEST(ArchiveRecords, IdsAreRandomHexAndTimesSortAsText) {
  const std::string a = NewId(), b = NewId();
  EXPECT_NE(a, b);
  EXPECT_EQ(a.size(), 32u);
  EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_TRUE(IsTimeText(NowText()));
  EXPECT_FALSE(IsTimeText("2026-12-10 12:45:00"));
}

TEST(ArchiveRecords, CardRefusals) {
  struct Case {
    std::string name;
    void (*change)(Card&);
    std::string refusal;
  };
  const Case cases[] = {
      {"valid", [](Card&) {}, ""},
      {"id", [](Card& c) { c.id = "ABC"; }, "неверный код объекта"},
      {"number", [](Card& c) { c.number = ""; }, "номер объекта не указан"},
      {"address", [](Card& c) { c.address = std::string(1001, 'a'); },
       "слишком длинное поле: адрес"},
      {"control", [](Card& c) { c.note = "a\x01"; }, "недопустимый символ в поле: примечание"},
      {"not utf-8", [](Card& c) { c.name = "\xc8\xe2"; }, "недопустимый символ в поле: название"},
      {"time", [](Card& c) { c.changed_at = "вчера"; }, "неверное время в карточке объекта"},
      {"version", [](Card& c) { c.version = 0; }, "неверная версия карточки объекта"},
      {"settings", [](Card& c) { c.settings = "abc"; }, "настройки объекта не читаются"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Card card = ValidCard();
    c.change(card);
    EXPECT_EQ(CardRefusal(card), c.refusal);
  }
}

TEST(ArchiveRecords, EntryRefusals) {
  Entry valid;
  valid.id = NewId();
  valid.at = NowText();
  valid.command = std::string(kWriteCommand);
  valid.outcome = "sent";
  EXPECT_EQ(EntryRefusal(valid), "");
  Entry entry = valid;
  entry.outcome = "done";
  EXPECT_EQ(EntryRefusal(entry), "неизвестный итог команды \"done\"");
  entry = valid;
  entry.cause = "fire";
  EXPECT_EQ(EntryRefusal(entry), "неизвестная причина \"fire\"");
  entry = valid;
  entry.command = "";
  EXPECT_EQ(EntryRefusal(entry), "команда записи журнала не указана");
}

// A row changed behind the rules' back is refused when read, not shown.
TEST(ArchiveRecords, TamperedRowIsDamaged) {
  ScratchFolder folder("archive-tampered");
  SqliteArchive db(folder.Path("a.qvxa"), OpenMode::Create);
  CreateObject(db, ValidCard(), "ivan");
  db.Run({"UPDATE objects SET changed_at = 'вчера'", {}});
  try {
    ListObjects(db);
    FAIL();
  } catch (const ArchiveError& error) {
    EXPECT_EQ(error.failure(), Failure::Damaged);
  }
}

TEST(ArchiveSearch, FoldsRussianCase) {
  EXPECT_EQ(FoldCase("ИВАНОВ Ёлкин Street"), "иванов елкин street");
}

TEST(ArchiveSearch, FindsByNumberNameAddressAndPhoneDigits) {
  ScratchFolder folder("archive-search");
  SqliteArchive db(folder.Path("a.qvxa"), OpenMode::Create);
  const auto add = [&](std::string number, std::string name, std::string address,
                       std::string phone_field, std::string phone) {
    Card card;
    card.number = std::move(number);
    card.name = std::move(name);
    card.address = std::move(address);
    card.settings = LineWithPhone(phone_field, phone);
    CreateObject(db, card, "ivan");
  };
  add("101", "Иванов Пётр", "ул. Ленина, 5", "Edit16", "+7 (916) 123-45-67");
  add("102", "ООО «Берёзка»", "пр. Мира 100%", "Edit24", "8-495-765-43-21");
  add("A-7", "Petrov", "Садовая 12", "Edit20", "");
  struct Case {
    std::string text;
    std::vector<std::string> numbers;  // newest change first
  };
  const Case cases[] = {
      {"", {"A-7", "102", "101"}},
      {"  иванов ", {"101"}},
      {"ИВАНОВ", {"101"}},
      {"берез", {"102"}},  // "ё" typed as "е"
      {"petr", {"A-7"}},
      {"ленина", {"101"}},
      {"100%", {"102"}},       // the wildcard taken as itself
      {"10", {"102", "101"}},  // numbers and the address's "100"
      {"916 123", {"101"}},    // a subscriber's digits, spaced as typed
      {"765-43", {"102"}},     // the ninth subscriber
      {"a-7", {"A-7"}},
      {"нет такого", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> numbers;
    for (const Card& card : ListObjects(db, c.text)) numbers.push_back(card.number);
    EXPECT_EQ(numbers, c.numbers);
  }
  // A deleted object is found no more.
  Card deleted = *FindObject(db, "101");
  deleted.deleted = true;
  ChangeObject(db, deleted, "ivan");
  EXPECT_TRUE(ListObjects(db, "иванов").empty());
}

// A list stops at its limit and counts what it left out, deleted cards not
// among them; at the limit exactly nothing is left out.
TEST(ArchiveSearch, FirstObjectsStopsAtTheLimitAndCountsTheRest) {
  ScratchFolder folder("archive-first");
  SqliteArchive db(folder.Path("a.qvxa"), OpenMode::Create);
  for (int i = 1; i <= 7; ++i) {
    Card card;
    card.number = std::to_string(i);
    card.name = i <= 5 ? "Иванов " + std::to_string(i) : "Петров";
    card.settings = LineWithPhone("Edit16", "");
    CreateObject(db, card, "ivan");
  }
  Card gone = *FindObject(db, "1");
  gone.deleted = true;
  ChangeObject(db, gone, "ivan");
  const struct {
    std::string text;
    std::int64_t limit;
    std::vector<std::string> numbers;  // newest change first
    std::int64_t more;
  } cases[] = {
      {"", 2, {"7", "6"}, 4},
      {"иванов", 3, {"5", "4", "3"}, 1},  // the deleted "Иванов 1" not counted
      {"иванов", 4, {"5", "4", "3", "2"}, 0},
      {"иванов", 5, {"5", "4", "3", "2"}, 0},
      {"петров", 0, {}, 2},
      {"сидоров", 2, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.limit));
    const ObjectList list = FirstObjects(db, c.text, c.limit);
    std::vector<std::string> numbers;
    for (const Card& card : list.cards) numbers.push_back(card.number);
    EXPECT_EQ(numbers, c.numbers);
    EXPECT_EQ(list.more, c.more);
  }
}

}  // namespace
}  // namespace qvx::archive
