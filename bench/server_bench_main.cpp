// quorvex_server_bench: the server's rows of ./scripts/bench, SQLite and
// PostgreSQL side by side, as one table and a few lines explaining it.
//   quorvex_server_bench BIN [OBJECTS [ENTRIES_PER_OBJECT]]
// A smaller company than the default 100,000 objects with ten entries each
// is for trying the bench out; the rows name the size they ran at.
#include <iostream>
#include <sstream>

#include "bench/server_rows.h"
#include "bench/table.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::cerr << "usage: quorvex_server_bench BIN [OBJECTS [ENTRIES_PER_OBJECT]]\n";
    return 2;
  }
  qvx::bench::CompanySize size;
  try {
    if (argc > 2) size.objects = std::stoi(argv[2]);
    if (argc > 3) size.entries_per_object = std::stoi(argv[3]);
  } catch (const std::exception&) {
    std::cerr << "quorvex_server_bench: OBJECTS and ENTRIES_PER_OBJECT are numbers\n";
    return 2;
  }
  if (size.objects < 25 || size.entries_per_object < 0) {
    std::cerr << "quorvex_server_bench: at least 25 objects\n";
    return 2;
  }
  try {
    std::ostringstream notes;
    const std::vector<qvx::bench::Row> rows = qvx::bench::ServerRows(argv[1], size, notes);
    qvx::bench::PrintTable(std::cout, rows);
    std::cout << notes.str();
  } catch (const std::exception& error) {
    std::cerr << "quorvex_server_bench: " << error.what() << '\n';
    return 1;
  }
}
