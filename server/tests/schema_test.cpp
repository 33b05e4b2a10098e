// The server's tables on both databases: made once, kept on reopening, and
// a database this version cannot trust refused before anything is served.
#include <gtest/gtest.h>

#include "archive/archive_error.h"
#include "archive/sqlite_archive.h"
#include "server/object_store.h"
#include "server/tests/server_test_fixture.h"

namespace qvx::server {
namespace {

using SchemaTest = ServerTest;

archive::Failure FailureOpening(const std::string& target) {
  try {
    Database database(target, 1);
  } catch (const archive::ArchiveError& error) {
    return error.failure();
  }
  return archive::Failure::Other;
}

TEST_P(SchemaTest, ReopeningKeepsTheDataAndANewerVersionIsRefused) {
  AddUser("Петров", Role::Admin);
  database_.reset();
  database_ = std::make_unique<Database>(target_, 2);
  {
    Lease lease = database_->Acquire();
    EXPECT_EQ(ListAccounts(*lease).size(), 1u);
    lease->Run({"UPDATE server_meta SET value = 2 WHERE key = 'schema_version'", {}});
  }
  database_.reset();
  try {
    Database newer(target_, 1);
    ADD_FAILURE() << "a newer database opened";
  } catch (const archive::ArchiveError& error) {
    EXPECT_EQ(error.failure(), archive::Failure::Newer);
    EXPECT_NE(std::string(error.what()).find("(версия 2, эта знает до 1)"), std::string::npos)
        << error.what();
  }
}

TEST_P(SchemaTest, ADatabaseOfAnotherProgramIsRefusedAndLeftAlone) {
  {
    Lease lease = database_->Acquire();
    lease->Run({"DROP TABLE server_meta", {}});
  }
  database_.reset();
  EXPECT_EQ(FailureOpening(target_), archive::Failure::NotArchive);
}

TEST(ServerSchema, AnArchiveFileIsNoServersDatabase) {
  ScratchFolder folder("server-schema");
  const std::string path = folder.Path("objects.qvxa");
  { archive::SqliteArchive archive(path, archive::OpenMode::Create); }
  EXPECT_EQ(FailureOpening(path), archive::Failure::NotArchive);
  // Still an archive the CLI opens.
  EXPECT_NO_THROW(archive::SqliteArchive(path, archive::OpenMode::Write));
}

INSTANTIATE_TEST_SUITE_P(Both, SchemaTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         BackendName);

}  // namespace
}  // namespace qvx::server
