#include "server/postgres_executor.h"

#include <libpq-fe.h>

#include <memory>

#include "archive/archive_error.h"
#include "server/sql_text.h"

namespace qvx::server {
namespace {

using archive::ArchiveError;
using archive::Failure;

// Type numbers of PostgreSQL's catalogue (pg_type.h is the server's header).
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25;

struct ResultFree {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultFree>;

std::string FirstLine(const char* text) {
  std::string line = text ? text : "";
  if (const std::size_t end = line.find('\n'); end != std::string::npos) line.resize(end);
  return line;
}

Failure FailureOf(const std::string& state) {
  if (state == "23505" || state.rfind("23", 0) == 0) return Failure::Refused;
  if (state == "40001" || state == "40P01" || state == "55P03") return Failure::Busy;
  if (state == "53100") return Failure::Full;
  return Failure::Other;
}

archive::Value ValueAt(PGresult* result, int row, int column) {
  if (PQgetisnull(result, row, column)) return nullptr;
  const char* text = PQgetvalue(result, row, column);
  const int length = PQgetlength(result, row, column);
  switch (PQftype(result, column)) {
    case kInt8:
    case kInt4:
    case kInt2:
      return std::int64_t{std::stoll(text)};
    case kBool:
      return std::int64_t{text[0] == 't' ? 1 : 0};
    case kBytea: {
      std::size_t size = 0;
      unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
      if (!bytes) throw ArchiveError(Failure::Other, "не хватает памяти");
      archive::Blob blob{std::string(reinterpret_cast<const char*>(bytes), size)};
      PQfreemem(bytes);
      return blob;
    }
    default:
      return std::string(text, static_cast<std::size_t>(length));
  }
}

}  // namespace

PostgresExecutor::PostgresExecutor(const std::string& url) {
  connection_ = PQconnectdb(url.c_str());
  if (PQstatus(connection_) != CONNECTION_OK) {
    const std::string cause = FirstLine(PQerrorMessage(connection_));
    PQfinish(connection_);
    connection_ = nullptr;
    throw ArchiveError(Failure::Other, "нет связи с базой данных: " + cause);
  }
  // Notices (a savepoint released, ...) would go to stderr without a word
  // of ours around them.
  PQsetNoticeProcessor(
      connection_, [](void*, const char*) {}, nullptr);
  Run({"SET client_encoding = 'UTF8'", {}});
}

PostgresExecutor::~PostgresExecutor() {
  PQfinish(connection_);
}

bool PostgresExecutor::Connected() const {
  return PQstatus(connection_) == CONNECTION_OK;
}

std::vector<archive::Row> PostgresExecutor::Run(const archive::Statement& statement) {
  if (statement.sql == "SELECT changes()") return {{changes_}};
  const std::string sql = PostgresSql(statement.sql);
  const std::size_t count = statement.params.size();
  std::vector<std::string> texts(count);
  std::vector<Oid> types(count, 0);
  std::vector<const char*> values(count, nullptr);
  std::vector<int> lengths(count, 0);
  std::vector<int> formats(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    const archive::Value& value = statement.params[i];
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
      texts[i] = std::to_string(*number);
      types[i] = kInt8;
      values[i] = texts[i].c_str();
    } else if (const auto* text = std::get_if<std::string>(&value)) {
      types[i] = kText;
      values[i] = text->c_str();
    } else if (const auto* blob = std::get_if<archive::Blob>(&value)) {
      types[i] = kBytea;
      values[i] = blob->bytes.data();
      lengths[i] = static_cast<int>(blob->bytes.size());
      formats[i] = 1;  // binary: the bytes as they are
    }
  }
  const Result result(PQexecParams(connection_, sql.c_str(), static_cast<int>(count), types.data(),
                                   values.data(), lengths.data(), formats.data(), 0));
  const ExecStatusType status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    const char* state = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE);
    const char* primary = PQresultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY);
    const std::string cause =
        primary ? std::string(primary) : FirstLine(PQerrorMessage(connection_));
    throw ArchiveError(FailureOf(state ? state : ""), "ошибка базы данных: " + cause);
  }
  const char* changed = PQcmdTuples(result.get());
  changes_ = changed && *changed ? std::stoll(changed) : 0;
  std::vector<archive::Row> rows;
  const int row_count = PQntuples(result.get());
  const int columns = PQnfields(result.get());
  rows.reserve(static_cast<std::size_t>(row_count));
  for (int row = 0; row < row_count; ++row) {
    archive::Row values_of_row;
    values_of_row.reserve(static_cast<std::size_t>(columns));
    for (int column = 0; column < columns; ++column)
      values_of_row.push_back(ValueAt(result.get(), row, column));
    rows.push_back(std::move(values_of_row));
  }
  return rows;
}

}  // namespace qvx::server
