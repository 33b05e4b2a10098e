// The archive of objects: quorvex-cli importing an installer's folder of
// 1,000 settings files, and the file an archive of 10,000 objects with
// 100,000 journal entries takes, with its search natively.
#pragma once

#include <string>
#include <vector>

#include "bench/table.h"

namespace qvx::bench {

// `runs` imports into a fresh archive by the quorvex-cli in `bin`; the large
// archive built once through the archive's own rules.
std::vector<Row> ArchiveRows(const std::string& bin, int runs);

}  // namespace qvx::bench
