#include "archive/search.h"

#include "config_file/settings_line.h"
#include "settings/memory_settings.h"

namespace qvx::archive {
namespace {

constexpr const char* kSubscriberPhones[] = {"Edit16", "Edit17", "Edit18", "Edit19", "Edit20",
                                             "Edit21", "Edit22", "Edit23", "Edit24"};

void AppendCodePoint(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xc0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3f));
  } else {
    out += static_cast<char>(0xe0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (c & 0x3f));
  }
}

char32_t Folded(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0x410 && c <= 0x42f) c += 32;        // А..Я
  if (c == 0x401 || c == 0x451) return 0x435;   // Ё, ё
  if (c >= 0x400 && c <= 0x40f) return c + 80;  // Ѐ..Џ
  return c;
}

std::string Digits(const std::string& text) {
  std::string digits;
  for (const char c : text)
    if (c >= '0' && c <= '9') digits += c;
  return digits;
}

bool HasLetters(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80 || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'))
      return true;
  return false;
}

// LIKE's pattern for `text` anywhere, its own wildcards escaped with "\".
std::string Anywhere(const std::string& text) {
  std::string pattern = "%";
  for (const char c : text) {
    if (c == '%' || c == '_' || c == '\\') pattern += '\\';
    pattern += c;
  }
  return pattern + "%";
}

// The WHERE clause of a search for `text` and its parameters.
Statement Matching(const std::string& text) {
  const std::string live = " WHERE deleted = 0";
  std::string folded = FoldCase(text);
  const std::size_t first = folded.find_first_not_of(" \t\n");
  if (first == std::string::npos) return {live, {}};
  folded = folded.substr(first, folded.find_last_not_of(" \t\n") + 1 - first);
  const std::string digits = Digits(text);
  if (digits.empty() || HasLetters(text))
    return {live + " AND search_text LIKE ? ESCAPE '\\'", {Anywhere(folded)}};
  return {live + " AND (search_text LIKE ? ESCAPE '\\' OR phone_digits LIKE ?)",
          {Anywhere(folded), Anywhere(digits)}};
}

}  // namespace

std::string FoldCase(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(Folded(c));
      ++i;
    } else if ((c & 0xe0) == 0xc0 && i + 1 < text.size()) {
      const char32_t point = (char32_t{c} & 0x1f) << 6 | (text[i + 1] & 0x3f);
      AppendCodePoint(out, Folded(point));
      i += 2;
    } else {
      out += text[i];  // longer sequences have no case this search knows
      ++i;
    }
  }
  return out;
}

std::string SearchTextOf(const Card& card) {
  return FoldCase(card.number) + "\n" + FoldCase(card.name) + "\n" + FoldCase(card.address);
}

std::string PhoneDigitsOf(const Card& card) {
  std::string digits = " ";
  const auto add = [&digits](const std::string& phone) {
    if (const std::string only = Digits(phone); !only.empty()) digits += only + " ";
  };
  add(card.phone);
  MemorySettings settings;
  if (ApplySettingsLine(settings, card.settings))
    for (const char* field : kSubscriberPhones) add(settings.Text(field));
  return digits;
}

Statement SearchObjects(const std::string& text) {
  Statement where = Matching(text);
  where.sql = "SELECT " + std::string(CardColumns()) + " FROM objects" + where.sql +
              " ORDER BY changed_at DESC, rowid DESC";
  return where;
}

Statement SearchObjects(const std::string& text, std::int64_t limit) {
  Statement statement = SearchObjects(text);
  statement.sql += " LIMIT ?";
  statement.params.emplace_back(limit + 1);
  return statement;
}

Statement CountObjects(const std::string& text) {
  Statement where = Matching(text);
  where.sql = "SELECT count(*) FROM objects" + where.sql;
  return where;
}

Statement DeletedObjects() {
  return {"SELECT " + std::string(CardColumns()) +
              " FROM objects WHERE deleted = 1 ORDER BY changed_at DESC, rowid DESC",
          {}};
}

}  // namespace qvx::archive
