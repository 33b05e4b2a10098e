#include "bench/table.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace qvx::bench {
namespace {

std::string Format(double value, const char* unit) {
  char text[48];
  const char* pattern = value >= 100 ? "%.0f %s" : value >= 10 ? "%.1f %s" : "%.2f %s";
  std::snprintf(text, sizeof text, pattern, value, unit);
  return text;
}

// Columns are aligned by characters, not bytes: the texts may hold "×" and "≤".
std::size_t Width(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Milliseconds(double ms) {
  return ms < 1 ? Format(ms * 1000, "µs") : Format(ms, "ms");
}

std::string Megabytes(double mb) {
  return Format(mb, "MB");
}

std::string Seconds(double seconds) {
  return Format(seconds, "s");
}

std::string PerSecond(double per_second) {
  if (per_second >= 1e6) return Format(per_second / 1e6, "M/s");
  if (per_second >= 1e3) return Format(per_second / 1e3, "k/s");
  return Format(per_second, "/s");
}

void PrintTable(std::ostream& out, const std::vector<Row>& rows) {
  using Line = std::array<std::string, 5>;
  std::vector<Line> lines = {{"figure", "median", "reference", "ratio", "target"}};
  for (const Row& row : rows) {
    char ratio[32] = "n/a";
    if (row.ratio) std::snprintf(ratio, sizeof ratio, "%.2f", *row.ratio);
    std::string target;
    if (!row.target.empty())
      target.append(row.exact ? "= " : row.at_least ? "≥ " : "≤ ").append(row.target);
    if (row.ratio && !row.target.empty()) {
      const double wanted = std::stod(row.target);
      const bool met = row.exact      ? *row.ratio == wanted
                       : row.at_least ? *row.ratio >= wanted
                                      : *row.ratio <= wanted;
      target += met ? "  ok" : "  MISSED";
    }
    lines.push_back({row.figure, row.median, row.reference, ratio, target});
  }
  std::array<std::size_t, 5> widths{};
  for (const Line& line : lines)
    for (std::size_t c = 0; c < line.size(); ++c) widths[c] = std::max(widths[c], Width(line[c]));
  // A Markdown table, so that a run can be pasted as it is.
  for (std::size_t l = 0; l < lines.size(); ++l) {
    std::string text = "|";
    for (std::size_t c = 0; c < lines[l].size(); ++c) {
      const std::string& cell = lines[l][c];
      const std::string pad(widths[c] - Width(cell), ' ');
      // Figures and references read left to right, numbers line up on the right.
      text += ' ';
      text += (c == 1 || c == 3) ? pad + cell : cell + pad;
      text += " |";
    }
    out << text << "\n";
    if (l == 0) {
      std::string rule = "|";
      for (std::size_t c = 0; c < widths.size(); ++c)
        rule += std::string(widths[c] + 1, '-') + ((c == 1 || c == 3) ? ":|" : "-|");
      out << rule << "\n";
    }
  }
}

}  // namespace qvx::bench
