// The server's tables on both databases: an older version brought up to
// date with its rows kept, a newer one and a stranger's refused.
#include <gtest/gtest.h>

#include "archive/archive_error.h"
#include "server/object_store.h"
#include "server/schema.h"
#include "server/tests/server_test_fixture.h"
#include "tests/support/postgres_server.h"

namespace qvx::server {
namespace {

using SchemaTest = ServerTest;

std::int64_t Integer(Database& database, const std::string& sql) {
  Lease lease = database.Acquire();
  return std::get<std::int64_t>(lease->Run({sql, {}})[0][0]);
}

std::string IndexCount(Dialect dialect) {
  return dialect == Dialect::Postgres
             ? "SELECT count(*) FROM pg_indexes WHERE indexname = 'objects_for_search'"
             : "SELECT count(*) FROM sqlite_schema WHERE name = 'objects_for_search'";
}

TEST_P(SchemaTest, AVersionOneDatabaseGetsTheSearchIndexAndKeepsItsCards) {
  const archive::Card card = TestCard("17", "Кузнецова Е.А.");
  {
    Lease lease = database_->Acquire();
    InsertCardRow(*lease, card, NextChange(*lease));
    // As the first version of the server left it.
    lease->Run({"DROP INDEX objects_for_search", {}});
    lease->Run({"UPDATE server_meta SET value = 1 WHERE key = 'schema_version'", {}});
  }
  const Dialect dialect = database_->dialect();
  database_.reset();
  Database reopened(target_, 1);
  EXPECT_EQ(Integer(reopened, "SELECT value FROM server_meta WHERE key = 'schema_version'"),
            kServerSchemaVersion);
  EXPECT_EQ(Integer(reopened, IndexCount(dialect)), 1);
  Lease lease = reopened.Acquire();
  const Found found = SearchCards(*lease, "кузнец", false);
  ASSERT_EQ(found.cards.size(), 1u);
  EXPECT_EQ(found.cards[0], card);
}

TEST_P(SchemaTest, ANewerOrAStrangersDatabaseIsRefused) {
  struct Case {
    std::string change;
    archive::Failure failure;
    std::string words;
  };
  const Case cases[] = {
      {"UPDATE server_meta SET value = " + std::to_string(kServerSchemaVersion + 1) +
           " WHERE key = 'schema_version'",
       archive::Failure::Newer, "обновите сервер"},
      {"DROP TABLE server_meta", archive::Failure::NotArchive, "не принадлежит серверу Quorvex"},
  };
  int made = 0;
  for (const Case& c : cases) {
    // A fresh database for each.
    std::string target = target_;
    if (made++ > 0)
      target = GetParam() == Backend::Sqlite ? folder_->Path("other-" + std::to_string(made))
                                             : test::PostgresServer::Shared().NewDatabase();
    {
      Database database(target, 1);
      Lease lease = database.Acquire();
      lease->Run({c.change, {}});
    }
    try {
      Database reopened(target, 1);
      ADD_FAILURE() << c.change << ": opened";
    } catch (const archive::ArchiveError& error) {
      EXPECT_EQ(error.failure(), c.failure) << c.change;
      EXPECT_NE(std::string(error.what()).find(c.words), std::string::npos) << error.what();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Both, SchemaTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         BackendName);

}  // namespace
}  // namespace qvx::server
