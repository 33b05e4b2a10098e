#include "server/rows.h"

#include "archive/archive_error.h"
#include "archive/records.h"

namespace qvx::server {
namespace {

[[noreturn]] void Damaged() {
  throw archive::ArchiveError(archive::Failure::Damaged,
                              "база данных повреждена: неверная строка таблицы");
}

}  // namespace

const std::string& TextAt(const archive::Row& row, std::size_t column) {
  if (column >= row.size() || !std::holds_alternative<std::string>(row[column])) Damaged();
  return std::get<std::string>(row[column]);
}

std::int64_t IntegerAt(const archive::Row& row, std::size_t column) {
  if (column >= row.size() || !std::holds_alternative<std::int64_t>(row[column])) Damaged();
  return std::get<std::int64_t>(row[column]);
}

std::int64_t OnlyInteger(const std::vector<archive::Row>& rows) {
  if (rows.size() != 1) Damaged();
  return IntegerAt(rows[0], 0);
}

bool IsPlainLine(const std::string& text) {
  return archive::IsPlainText(text, false);
}

}  // namespace qvx::server
