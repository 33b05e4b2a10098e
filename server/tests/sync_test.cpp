// Sync on both databases: entries kept once, cards never overwritten,
// and a cursor that skips nothing while writers run.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "archive/archive_error.h"
#include "server/object_store.h"
#include "server/sync.h"
#include "server/tests/server_test_fixture.h"

namespace qvx::server {
namespace {

using SyncTest = ServerTest;

const Account kSenior{"старший", Role::Senior};

SyncAnswer SyncOn(Database& database, const SyncRequest& request, std::int64_t page = kSyncPage) {
  Lease lease = database.Acquire();
  return Sync(*lease, kSenior, request, page);
}

std::int64_t Count(Database& database, const std::string& table) {
  Lease lease = database.Acquire();
  return std::get<std::int64_t>(lease->Run({"SELECT count(*) FROM " + table, {}})[0][0]);
}

archive::Card Changed(archive::Card card, const std::string& name) {
  card.version += 1;
  card.name = name;
  card.changed_at = archive::NowText();
  return card;
}

TEST_P(SyncTest, TheSameUploadTwiceAddsNothing) {
  const archive::Card card = TestCard("17");
  const SyncRequest upload{0, {{card, 0}}, {TestEntry(card.id), TestEntry(card.id), TestEntry("")}};
  const SyncAnswer first = SyncOn(*database_, upload);
  // The answer was lost: the page sends the same again.
  const SyncAnswer again = SyncOn(*database_, upload);
  EXPECT_EQ(Count(*database_, "entries"), 3);
  EXPECT_EQ(Count(*database_, "objects"), 1);
  EXPECT_TRUE(again.conflicts.empty()) << "its own card, already taken, is no conflict";
  EXPECT_EQ(again.entries.size(), 3u);
  ASSERT_EQ(again.cards.size(), 1u);
  EXPECT_EQ(again.cards[0], card);
  // From the first answer's cursor, nothing new.
  const SyncAnswer after = SyncOn(*database_, {first.cursor, {}, {}});
  EXPECT_TRUE(after.cards.empty());
  EXPECT_TRUE(after.entries.empty());
  EXPECT_GE(after.cursor, first.cursor);
}

TEST_P(SyncTest, ACardEditedInTwoPlacesIsKeptBothWaysUntilSettled) {
  const archive::Card card = TestCard("17", "Иванов");
  const SyncAnswer created = SyncOn(*database_, {0, {{card, 0}}, {}});
  const archive::Card here = Changed(card, "Иванов И. И.");
  const archive::Card there = Changed(card, "Иванова");
  const SyncAnswer first = SyncOn(*database_, {created.cursor, {{here, 1}}, {}});
  EXPECT_TRUE(first.conflicts.empty());
  const SyncAnswer second = SyncOn(*database_, {created.cursor, {{there, 1}}, {}});
  ASSERT_EQ(second.conflicts.size(), 1u);
  EXPECT_EQ(second.conflicts[0].mine, there);
  EXPECT_EQ(second.conflicts[0].theirs, here);
  {
    Lease lease = database_->Acquire();
    EXPECT_EQ(CardOfId(*lease, card.id)->name, "Иванов И. И.") << "nothing overwritten";
  }
  // The same conflict sent again stays a conflict, not a silent win.
  EXPECT_EQ(SyncOn(*database_, {second.cursor, {{there, 1}}, {}}).conflicts.size(), 1u);
  // Settled: the chosen card over the server's version.
  archive::Card settled = there;
  settled.version = here.version + 1;
  const SyncAnswer taken = SyncOn(*database_, {second.cursor, {{settled, here.version}}, {}});
  EXPECT_TRUE(taken.conflicts.empty());
  ASSERT_EQ(taken.cards.size(), 1u);
  EXPECT_EQ(taken.cards[0], settled);
}

TEST_P(SyncTest, ANumberTakenByAnotherCardIsAConflict) {
  const archive::Card mine = TestCard("17", "Иванов");
  const archive::Card theirs = TestCard("17", "Петров");
  SyncOn(*database_, {0, {{theirs, 0}}, {}});
  const SyncAnswer answer = SyncOn(*database_, {0, {{mine, 0}}, {}});
  ASSERT_EQ(answer.conflicts.size(), 1u);
  EXPECT_EQ(answer.conflicts[0].theirs, theirs);
  EXPECT_EQ(Count(*database_, "objects"), 1);

  // A new card whose id the server holds with other data: a conflict too.
  archive::Card same_id = Changed(theirs, "Сидоров");
  same_id.version = 1;
  EXPECT_EQ(SyncOn(*database_, {0, {{same_id, 0}}, {}}).conflicts.size(), 1u);
}

TEST_P(SyncTest, ACardNotAboveItsBaseRefusesTheWholeRequest) {
  const archive::Card card = TestCard("17");
  SyncOn(*database_, {0, {{card, 0}}, {}});
  archive::Card same_version = card;
  same_version.name = "Другой";
  const archive::Entry entry = TestEntry(card.id);
  try {
    SyncOn(*database_, {0, {{same_version, 1}}, {entry}});
    ADD_FAILURE() << "taken";
  } catch (const archive::ArchiveError& error) {
    EXPECT_EQ(error.failure(), archive::Failure::Refused);
  }
  EXPECT_EQ(Count(*database_, "entries"), 0) << "the entry went with the refused request";
}

TEST_P(SyncTest, ACursorReadWhileAWriterIsOpenSkipsNothingOnceItCommits) {
  const archive::Entry first = TestEntry(""), second = TestEntry("");
  Lease writer = database_->Acquire();
  auto transaction = std::make_unique<archive::Transaction>(*writer);
  const std::int64_t seq = NextChange(*writer);
  ASSERT_TRUE(InsertEntryRow(*writer, first, seq));

  const SyncAnswer during = SyncOn(*database_, {0, {}, {}});
  EXPECT_LT(during.cursor, seq);
  EXPECT_TRUE(during.entries.empty());

  // Another writer waits for the first one's counter, so it cannot commit
  // a later number before the earlier one.
  SyncAnswer other;
  std::thread later([&] { other = SyncOn(*database_, {during.cursor, {}, {second}}); });
  transaction->Commit();
  transaction.reset();
  later.join();
  EXPECT_GT(other.cursor, seq);

  const SyncAnswer after = SyncOn(*database_, {during.cursor, {}, {}});
  ASSERT_EQ(after.entries.size(), 2u);
  EXPECT_EQ(after.entries[0].id, first.id);
  EXPECT_EQ(after.entries[1].id, second.id);
  EXPECT_EQ(after.cursor, other.cursor);
}

TEST_P(SyncTest, ACursorFromAReplacedDatabaseGetsEverything) {
  SyncOn(*database_, {0, {{TestCard("1"), 0}}, {}});
  const SyncAnswer answer = SyncOn(*database_, {1000, {}, {}});
  EXPECT_EQ(answer.cards.size(), 1u);
}

TEST_P(SyncTest, ManyClientsAtOnceLoseNothingAndDoubleNothing) {
  constexpr int kClients = 6, kSyncs = 8, kEntries = 5;
  std::vector<std::int64_t> cursors(kClients, 0);
  std::vector<std::set<std::string>> seen(kClients);
  // Pulls from the client's cursor until the server has no more for it.
  const auto drain = [&](int client) {
    for (bool more = true; more;) {
      const SyncAnswer answer = SyncOn(*database_, {cursors[client], {}, {}}, 7);
      for (const archive::Entry& entry : answer.entries) seen[client].insert(entry.id);
      cursors[client] = answer.cursor;
      more = answer.more;
    }
  };
  std::vector<std::thread> clients;
  for (int client = 0; client < kClients; ++client)
    clients.emplace_back([&, client] {
      for (int sync = 0; sync < kSyncs; ++sync) {
        std::vector<archive::Entry> entries;
        for (int i = 0; i < kEntries; ++i) entries.push_back(TestEntry(""));
        // Each upload twice, as after a lost answer.
        SyncOn(*database_, {cursors[client], {}, entries});
        const SyncAnswer answer = SyncOn(*database_, {cursors[client], {}, entries}, 7);
        for (const archive::Entry& entry : answer.entries) seen[client].insert(entry.id);
        cursors[client] = answer.cursor;
      }
      drain(client);
    });
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(Count(*database_, "entries"), kClients * kSyncs * kEntries);
  // Once every writer is done, each client's walk has met every entry.
  for (int client = 0; client < kClients; ++client) {
    drain(client);
    EXPECT_EQ(seen[client].size(), std::size_t{kClients * kSyncs * kEntries})
        << "client " << client << " walked past a change";
  }
}

TEST_P(SyncTest, ALargeAnswerComesInPartsEachEndingWithAWholeChange) {
  // Changes of 1, 3 (a card and two entries), 1 and 1 rows.
  const archive::Card card = TestCard("1");
  SyncOn(*database_, {0, {}, {TestEntry("")}});
  SyncOn(*database_, {0, {{card, 0}}, {TestEntry(card.id), TestEntry(card.id)}});
  SyncOn(*database_, {0, {}, {TestEntry("")}});
  SyncOn(*database_, {0, {}, {TestEntry("")}});
  std::vector<std::size_t> parts;
  std::size_t entries = 0;
  SyncAnswer answer{};
  answer.more = true;
  while (answer.more) {
    answer = SyncOn(*database_, {answer.cursor, {}, {}}, 2);
    parts.push_back(answer.entries.size());
    entries += answer.entries.size();
    ASSERT_LT(parts.size(), 10u);
  }
  EXPECT_EQ(parts, (std::vector<std::size_t>{3, 2})) << "the second change is never split";
  EXPECT_EQ(entries, 5u);
  EXPECT_TRUE(SyncOn(*database_, {answer.cursor, {}, {}}, 2).entries.empty());
}

INSTANTIATE_TEST_SUITE_P(Both, SyncTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         BackendName);

}  // namespace
}  // namespace qvx::server
