#include "server/rows.h"

#include "archive/archive_error.h"

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
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c < 0x20 || c == 0x7f) return false;
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

}  // namespace qvx::server
