// The large archive the benchmarks search: 10,000 objects with ten journal
// entries each, built through the archive's own rules. The page's rows
// import it as an installer brings one (make_large_archive writes it).
#pragma once

#include <string>

namespace qvx::bench {

inline constexpr int kObjects = 10'000;
inline constexpr int kEntriesPerObject = 10;

// A settings line of its own for every `n`: a password and a subscriber
// ("+7916" and 1000000 + n) apart.
std::string LineFor(int n);

struct Large {
  double megabytes = 0;
  double lines_megabytes = 0;  // the settings lines it holds, alone
};

// Writes the archive into `path`, which must not exist yet, in one
// transaction. Throws ArchiveError when the file cannot be made.
Large BuildLarge(const std::string& path);

}  // namespace qvx::bench
