#include "server/sql_text.h"

#include <gtest/gtest.h>

namespace qvx::server {
namespace {

TEST(PostgresSql, NumbersParametersOutsideQuotesAndBeginsPlainly) {
  const std::pair<std::string, std::string> cases[] = {
      {"SELECT ?", "SELECT $1"},
      {"INSERT INTO t VALUES (?, ?, ?)", "INSERT INTO t VALUES ($1, $2, $3)"},
      {"SELECT '?' , ?", "SELECT '?' , $1"},
      {"SELECT 'it''s ?', ?", "SELECT 'it''s ?', $1"},
      {"SELECT \"a?\" FROM t WHERE x LIKE ? ESCAPE '\\'",
       "SELECT \"a?\" FROM t WHERE x LIKE $1 ESCAPE '\\'"},
      {"BEGIN IMMEDIATE", "BEGIN"},
      {"SAVEPOINT part", "SAVEPOINT part"},
  };
  for (const auto& [sqlite, postgres] : cases) EXPECT_EQ(PostgresSql(sqlite), postgres) << sqlite;
}

}  // namespace
}  // namespace qvx::server
