// The benchmark table: every figure next to a reference measured in the same
// run, and their ratio, which is what stays comparable on a shared machine.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace qvx::bench {

struct Row {
  std::string figure;           // what was measured
  std::string median;           // its median, with unit
  std::string reference;        // what it is compared with, and its median
  std::optional<double> ratio;  // median / reference; none when not measured
  std::string target;           // the ratio wanted, or empty
  bool at_least = false;        // the target is the lowest ratio wanted, not the highest
  bool exact = false;           // the ratio must be the target itself: a count, not a time
};

// The median of the values; 0 for none.
double Median(std::vector<double> values);

// "152 ms", "1.07 ms", "38.2 MB", "2.1 M/s": three significant digits.
std::string Milliseconds(double ms);
std::string Megabytes(double mb);
std::string PerSecond(double per_second);
// "183 s", "2.41 s".
std::string Seconds(double seconds);

// The rows as one aligned text table, a header first.
void PrintTable(std::ostream& out, const std::vector<Row>& rows);

}  // namespace qvx::bench
