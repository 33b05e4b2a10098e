#include "server/sql_text.h"

namespace qvx::server {

std::string PostgresSql(const std::string& sql) {
  if (sql == "BEGIN IMMEDIATE") return "BEGIN";
  std::string out;
  out.reserve(sql.size() + 8);
  int number = 0;
  char quote = 0;  // the quote we are inside, or 0
  for (const char c : sql) {
    if (quote != 0) {
      // A doubled quote closes and reopens, which leaves us inside: fine.
      if (c == quote) quote = 0;
      out += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      out += c;
    } else if (c == '?') {
      out += '$' + std::to_string(++number);
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace qvx::server
