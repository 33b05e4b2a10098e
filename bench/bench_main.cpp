// quorvex_bench: the figures of ./scripts/bench, each against a reference
// measured in the same run, printed as one table.
#include <QCoreApplication>
#include <iostream>

#include "bench/archive_rows.h"
#include "bench/batch_rows.h"
#include "bench/codec_rows.h"
#include "bench/link_rows.h"
#include "bench/startup_rows.h"
#include "bench/table.h"

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);  // the serial port needs one
  const std::string bin = argc > 1 ? argv[1] : ".";
  // "archive" as a second argument: the archive's rows alone.
  const std::string only = argc > 2 ? argv[2] : "";
  std::vector<qvx::bench::Row> rows;
  auto add = [&rows](std::vector<qvx::bench::Row> more) {
    rows.insert(rows.end(), more.begin(), more.end());
  };
  if (only == "archive") {
    add(qvx::bench::ArchiveRows(bin, 3));
    qvx::bench::PrintTable(std::cout, rows);
    return 0;
  }
  add(qvx::bench::StartupRows(bin + "/quorvex", bin + "/bare_window", 7));
  add(qvx::bench::WritePacingRows(5));
  add(qvx::bench::ReadRows(5));
  add(qvx::bench::BatchRows(bin, 3));
  add(qvx::bench::CodecRows(bin));
  add(qvx::bench::ArchiveRows(bin, 3));
  qvx::bench::PrintTable(std::cout, rows);
}
