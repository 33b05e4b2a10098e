// The sync's rules on a real archive file, with the server's answers built
// by hand as the server's interface describes them.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "archive/archive_error.h"
#include "archive/conflicts.h"
#include "archive/objects.h"
#include "archive/records_json.h"
#include "archive/sqlite_archive.h"
#include "archive/sync.h"
#include "config_file/settings_line.h"
#include "settings/memory_settings.h"
#include "tests/support/scratch_folder.h"

namespace qvx::archive {
namespace {

using Json = nlohmann::json;
constexpr const char* kOrigin = "https://archive.example";

std::string LineWithPassword(const std::string& password) {
  MemorySettings settings;
  settings.SetText("Edit25", password);
  return BuildSettingsLine(settings).line;
}

Card NewCard(const std::string& number, const std::string& name) {
  Card card;
  card.number = number;
  card.name = name;
  card.settings = LineWithPassword("1111");
  return card;
}

// A card as another installer's archive made it and the server holds it.
Card ServerCard(const std::string& number, const std::string& name, std::int64_t version) {
  Card card = NewCard(number, name);
  card.id = NewId();
  card.created_at = card.changed_at = "2026-12-01T09:00:00.000Z";
  card.created_by = card.changed_by = "petr";
  card.version = version;
  return card;
}

Entry ServerEntry(const std::string& object_id) {
  Entry entry;
  entry.id = NewId();
  entry.object_id = object_id;
  entry.at = "2026-12-01T09:05:00.000Z";
  entry.installer = "petr";
  entry.port = "ttyUSB0";
  entry.command = std::string(kReadCommand);
  entry.outcome = "readSuccess";
  entry.settings = LineWithPassword("1111");
  return entry;
}

// The record's JSON as a plain object, as the server's answer holds it.
template <typename Record>
Json Plain(const Record& json) {
  return Json::parse(json.dump());
}

Json Answer(std::int64_t cursor, const std::vector<Card>& cards = {},
            const std::vector<Entry>& entries = {},
            const std::vector<std::pair<Card, Card>>& conflicts = {}) {
  Json answer = {{"cursor", cursor},
                 {"cards", Json::array()},
                 {"entries", Json::array()},
                 {"conflicts", Json::array()}};
  for (const Card& card : cards) answer["cards"].push_back(Plain(CardJson(card)));
  for (const Entry& entry : entries) answer["entries"].push_back(Plain(EntryJson(entry)));
  for (const auto& [mine, theirs] : conflicts)
    answer["conflicts"].push_back(
        {{"mine", Plain(CardJson(mine))}, {"theirs", Plain(CardJson(theirs))}});
  return answer;
}

Entry ReadCommand() {
  Entry entry;
  entry.installer = "ivan";
  entry.port = "ttyUSB1";
  entry.command = std::string(kReadCommand);
  entry.outcome = "readSuccess";
  entry.settings = LineWithPassword("2222");
  return entry;
}

std::string ValueText(const Value& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* blob = std::get_if<Blob>(&value)) return "blob:" + blob->bytes;
  return "null";
}

class ArchiveSync : public testing::Test {
 protected:
  Json Request() { return Json::parse(SyncRequest(db_, kOrigin)); }

  // One round as the page runs it: the request, then the server's answer.
  SyncApplied Round(const Json& answer) {
    return ApplySyncAnswer(db_, kOrigin, SyncRequest(db_, kOrigin), answer.dump());
  }

  // Everything this archive holds, to prove an answer changed nothing.
  std::string Everything() {
    std::string all;
    for (const char* table :
         {"objects", "entries", "sync_state", "entries_sent", "cards_synced", "conflicts"})
      for (const Row& row : db_.Run({std::string("SELECT * FROM ") + table, {}}))
        for (const Value& value : row)
          all += ValueText(value) + (&value == &row.back() ? "\n" : "|");
    return all + Request().dump();
  }

  ScratchFolder folder_{"archive-sync"};
  SqliteArchive db_{folder_.Path("a.qvxa"), OpenMode::Create};
};

TEST_F(ArchiveSync, RequestCarriesWhatTheServerLacksWithEachCardsBase) {
  const Card card = CreateObject(db_, NewCard("17", "Иванов"), "ivan");
  const Entry entry = JournalCommand(db_, card.id, ReadCommand());
  Json request = Request();
  EXPECT_EQ(request["cursor"], 0);
  ASSERT_EQ(request["cards"].size(), 1u);
  EXPECT_EQ(request["cards"][0]["base"], 0);             // new to the server
  EXPECT_EQ(request["cards"][0]["card"]["version"], 2);  // the read changed its settings
  ASSERT_EQ(request["entries"].size(), 1u);
  EXPECT_EQ(request["entries"][0]["id"], entry.id);

  // Taken: the server answers with the card as sent (its own change back).
  const Card sent = CardFromJson(request["cards"][0]["card"]);
  const SyncApplied applied =
      ApplySyncAnswer(db_, kOrigin, request.dump(), Answer(5, {sent}, {entry}).dump());
  EXPECT_EQ(applied.cards, 0);
  EXPECT_EQ(applied.entries, 0);
  EXPECT_EQ(applied.conflicts, 0);
  request = Request();
  EXPECT_EQ(request["cursor"], 5);
  EXPECT_TRUE(request["cards"].empty());
  EXPECT_TRUE(request["entries"].empty());
  EXPECT_EQ(WaitingForSync(db_).entries, 0);

  // Changed again: pushed over the version the server holds.
  Card renamed = *FindObject(db_, "17");
  renamed.name = "Иванов И. И.";
  ChangeObject(db_, renamed, "ivan");
  request = Request();
  ASSERT_EQ(request["cards"].size(), 1u);
  EXPECT_EQ(request["cards"][0]["base"], 2);
  EXPECT_EQ(request["cards"][0]["card"]["version"], 3);
  EXPECT_EQ(WaitingForSync(db_).cards, 1);
}

TEST_F(ArchiveSync, ABatchCarriesAtMostItsSizeAndTheRestFollows) {
  for (int i = 0; i < 5; ++i) JournalCommand(db_, "", ReadCommand());
  const Json first = Json::parse(SyncRequest(db_, kOrigin, 3));
  ASSERT_EQ(first["entries"].size(), 3u);
  EXPECT_EQ(ApplySyncAnswer(db_, kOrigin, first.dump(), Answer(3).dump()).sent, 3);
  EXPECT_EQ(WaitingForSync(db_).entries, 2);
  EXPECT_EQ(Json::parse(SyncRequest(db_, kOrigin, 3))["entries"].size(), 2u);
  // A card the server refuses holds no entry back: they go without it.
  CreateObject(db_, NewCard("17", "Иванов"), "ivan");
  const Json alone = Json::parse(SyncRequest(db_, kOrigin, kSyncBatch, false));
  EXPECT_TRUE(alone["cards"].empty());
  EXPECT_EQ(alone["entries"].size(), 2u);
  ApplySyncAnswer(db_, kOrigin, alone.dump(), Answer(4).dump());
  EXPECT_EQ(WaitingForSync(db_).entries, 0);
  EXPECT_EQ(WaitingForSync(db_).cards, 1);
}

TEST_F(ArchiveSync, RepeatedAnswerAddsNothingTwice) {
  const Card theirs = ServerCard("20", "Петров", 3);
  const std::vector<Entry> entries = {ServerEntry(theirs.id), ServerEntry(theirs.id),
                                      ServerEntry("")};
  const Json answer = Answer(9, {theirs}, entries);
  const SyncApplied first = Round(answer);
  EXPECT_EQ(first.cards, 1);
  EXPECT_EQ(first.entries, 3);
  const std::string after = Everything();
  const SyncApplied again = Round(answer);  // the answer lost, the round run again
  EXPECT_EQ(again.cards, 0);
  EXPECT_EQ(again.entries, 0);
  EXPECT_EQ(Everything(), after);
  EXPECT_EQ(*FindObject(db_, "20"), theirs);
  EXPECT_EQ(JournalOf(db_, theirs.id).size(), 2u);
  // What came from the server is not sent back to it.
  const SyncWaiting waiting = WaitingForSync(db_);
  EXPECT_EQ(waiting.entries, 0);
  EXPECT_EQ(waiting.cards, 0);
}

TEST_F(ArchiveSync, PulledCardNeverOverwritesAnUnsentChange) {
  // Synced at version 1, then changed here (version 2) and on the server (2).
  Card mine = CreateObject(db_, NewCard("17", "Иванов"), "ivan");
  Round(Answer(1, {mine}));
  // The server's change comes back to a request sent before the one here.
  const std::string request = SyncRequest(db_, kOrigin);
  mine.name = "Иванов (дача)";
  mine = ChangeObject(db_, mine, "ivan");
  Card theirs = mine;
  theirs.name = "Иванов (гараж)";
  theirs.changed_by = "petr";
  const SyncApplied applied = ApplySyncAnswer(db_, kOrigin, request, Answer(2, {theirs}).dump());
  EXPECT_EQ(applied.cards, 0);
  EXPECT_EQ(applied.conflicts, 1);
  EXPECT_EQ(*FindObject(db_, "17"), mine);
  const std::vector<Conflict> conflicts = ListConflicts(db_);
  ASSERT_EQ(conflicts.size(), 1u);
  EXPECT_EQ(conflicts[0].mine, mine);
  EXPECT_EQ(conflicts[0].theirs, theirs);
  // The card waits for its settling, not pushed again meanwhile.
  EXPECT_TRUE(Request()["cards"].empty());
  EXPECT_EQ(WaitingForSync(db_).conflicts, 1);
}

TEST_F(ArchiveSync, ConflictTheServerFindsIsKeptAndSettledEitherWay) {
  struct Case {
    Settle settle;
    std::string name_left;
    std::int64_t version_pushed;  // 0: nothing pushed
  };
  for (const Case& c : {Case{Settle::KeepMine, "Иванов (дача)", 5},
                        Case{Settle::TakeTheirs, "Иванов (гараж)", 0}}) {
    SCOPED_TRACE(c.name_left);
    ScratchFolder folder("archive-settle");
    SqliteArchive db(folder.Path("a.qvxa"), OpenMode::Create);
    Card mine = CreateObject(db, NewCard("17", "Иванов"), "ivan");
    ApplySyncAnswer(db, kOrigin, SyncRequest(db, kOrigin), Answer(1, {mine}).dump());
    mine.name = "Иванов (дача)";
    mine = ChangeObject(db, mine, "ivan");
    // The server had version 4 by then: it keeps both, overwriting nothing.
    Card theirs = mine;
    theirs.name = "Иванов (гараж)";
    theirs.version = 4;
    const std::string request = SyncRequest(db, kOrigin);
    ApplySyncAnswer(db, kOrigin, request, Answer(3, {theirs}, {}, {{mine, theirs}}).dump());
    ASSERT_EQ(ListConflicts(db).size(), 1u);
    EXPECT_EQ(FindObject(db, "17")->name, "Иванов (дача)");

    const Card left = SettleConflict(db, mine.id, c.settle, "ivan");
    EXPECT_EQ(left.name, c.name_left);
    EXPECT_EQ(*FindObject(db, "17"), left);
    EXPECT_TRUE(ListConflicts(db).empty());
    const Json next = Json::parse(SyncRequest(db, kOrigin));
    if (c.version_pushed == 0) {
      EXPECT_TRUE(next["cards"].empty());
    } else {
      ASSERT_EQ(next["cards"].size(), 1u);
      EXPECT_EQ(next["cards"][0]["base"], 4);
      EXPECT_EQ(next["cards"][0]["card"]["version"], c.version_pushed);
      EXPECT_EQ(next["cards"][0]["card"]["name"], "Иванов (дача)");
    }
    EXPECT_THROW(SettleConflict(db, mine.id, c.settle, "ivan"), ArchiveError);
  }
}

TEST_F(ArchiveSync, ANumberTheServerGivesAnotherObjectIsAConflictToo) {
  const std::string request = SyncRequest(db_, kOrigin);
  const Card mine = CreateObject(db_, NewCard("17", "Иванов"), "ivan");
  const Entry entry = JournalCommand(db_, mine.id, ReadCommand());
  const Card theirs = ServerCard("17", "Сидоров", 2);
  EXPECT_EQ(ApplySyncAnswer(db_, kOrigin, request, Answer(4, {theirs}).dump()).conflicts, 1);
  EXPECT_EQ(FindObject(db_, "17")->id, mine.id);
  try {
    SettleConflict(db_, mine.id, Settle::KeepMine, "ivan");
    FAIL();
  } catch (const ArchiveError& error) {
    EXPECT_EQ(error.failure(), Failure::Refused);
  }
  ASSERT_EQ(ListConflicts(db_).size(), 1u);  // a refused settling keeps it
  const Card moved = SettleConflict(db_, mine.id, Settle::TakeTheirs, "ivan");
  EXPECT_EQ(moved.number, "17/2");
  EXPECT_EQ(FindObject(db_, "17")->id, theirs.id);
  EXPECT_EQ(JournalOf(db_, mine.id).front().id, entry.id);  // its journal stays with it
  const Json next = Request();
  ASSERT_EQ(next["cards"].size(), 1u);
  EXPECT_EQ(next["cards"][0]["card"]["number"], "17/2");
  EXPECT_EQ(next["cards"][0]["base"], 0);
}

TEST_F(ArchiveSync, ChangeMadeWhileTheRequestTravelledStillWaits) {
  Card card = CreateObject(db_, NewCard("17", "Иванов"), "ivan");
  const std::string request = SyncRequest(db_, kOrigin);
  card.note = "ключ у соседа";
  card = ChangeObject(db_, card, "ivan");
  const Entry later = JournalCommand(db_, "", ReadCommand());
  const Card sent = CardFromJson(Json::parse(request)["cards"][0]["card"]);
  ApplySyncAnswer(db_, kOrigin, request, Answer(1, {sent}).dump());
  EXPECT_EQ(FindObject(db_, "17")->note, "ключ у соседа");
  const Json next = Request();
  ASSERT_EQ(next["cards"].size(), 1u);
  EXPECT_EQ(next["cards"][0]["base"], 1);
  ASSERT_EQ(next["entries"].size(), 1u);
  EXPECT_EQ(next["entries"][0]["id"], later.id);
  EXPECT_TRUE(ListConflicts(db_).empty());
}

TEST_F(ArchiveSync, CardsTakenTogetherMayPassTheirNumbers) {
  Card a = ServerCard("1", "Первый", 1), b = ServerCard("2", "Второй", 1);
  Round(Answer(1, {a, b}));
  a.number = "2";
  a.version = 2;
  b.number = "1";
  b.version = 2;
  EXPECT_EQ(Round(Answer(2, {a, b})).cards, 2);
  EXPECT_EQ(FindObject(db_, "1")->id, b.id);
  EXPECT_EQ(FindObject(db_, "2")->id, a.id);
}

TEST_F(ArchiveSync, RefusedAnswerChangesNothingAndKeepsTheCursor) {
  Round(Answer(7, {ServerCard("1", "Первый", 1)}));
  CreateObject(db_, NewCard("17", "Иванов"), "ivan");
  JournalCommand(db_, "", ReadCommand());
  Card bad_card = ServerCard("30", "Кузнецов", 1);
  bad_card.settings = "не настройки";
  Entry bad_entry = ServerEntry("");
  bad_entry.id = "1; DROP TABLE entries";
  const std::function<Json()> answers[] = {
      [] { return Json("текст"); },
      [] { return Json::object(); },
      [] { return Answer(-1); },
      [] {
        Json answer = Answer(8);
        answer["cursor"] = 8.5;
        return answer;
      },
      [] {
        Json answer = Answer(8);
        answer["entries"] = "нет";
        return answer;
      },
      [&] {
        return Answer(8, {ServerCard("31", "Орлов", 1), bad_card});
      },
      [&] {
        return Answer(8, {}, {ServerEntry(""), bad_entry});
      },
      [&] {
        Json answer = Answer(8, {ServerCard("32", "Титов", 1)});
        answer["cards"][0].erase("version");
        return answer;
      },
      [&] {
        Json answer = Answer(8);
        answer["conflicts"].push_back({{"mine", Plain(CardJson(ServerCard("33", "Жуков", 1)))}});
        return answer;
      },
      [&] {
        const Card twice = ServerCard("34", "Дважды", 1);
        return Answer(8, {twice, twice});
      },
  };
  const std::string before = Everything();
  for (const auto& answer : answers) {
    const std::string text = answer().dump();
    SCOPED_TRACE(text);
    try {
      ApplySyncAnswer(db_, kOrigin, SyncRequest(db_, kOrigin), text);
      ADD_FAILURE() << "taken";
    } catch (const ArchiveError& error) {
      EXPECT_EQ(error.failure(), Failure::Refused);
      EXPECT_EQ(std::string(error.what()).rfind("ответ сервера отклонён: ", 0), 0u) << error.what();
    }
    EXPECT_EQ(Everything(), before);
  }
  EXPECT_THROW(ApplySyncAnswer(db_, kOrigin, SyncRequest(db_, kOrigin), "{"), ArchiveError);
  EXPECT_EQ(Request()["cursor"], 7);
  Round(Answer(8));
  EXPECT_EQ(Request()["cursor"], 8);
}

TEST_F(ArchiveSync, AnotherServerGetsEverythingAndAnOldAnswerIsRefused) {
  JournalCommand(db_, "", ReadCommand());
  const std::string request = SyncRequest(db_, kOrigin);
  Round(Answer(12));
  EXPECT_EQ(WaitingForSync(db_).entries, 0);
  const Json other = Json::parse(SyncRequest(db_, "https://other.example"));
  EXPECT_EQ(other["cursor"], 0);
  EXPECT_EQ(other["entries"].size(), 1u);
  EXPECT_THROW(ApplySyncAnswer(db_, kOrigin, request, Answer(13).dump()), ArchiveError);
}

}  // namespace
}  // namespace qvx::archive
