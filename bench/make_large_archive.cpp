// make_large_archive FILE: the benchmarks' large archive (large_archive.h)
// written into FILE, for the page's rows to import as an installer would.
#include <filesystem>
#include <iostream>

#include "archive/archive_error.h"
#include "bench/large_archive.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_large_archive FILE\n";
    return 2;
  }
  std::error_code error;
  if (std::filesystem::exists(argv[1], error)) {
    std::cerr << "make_large_archive: " << argv[1] << ": file exists\n";
    return 1;
  }
  try {
    qvx::bench::BuildLarge(argv[1]);
  } catch (const qvx::archive::ArchiveError& failure) {
    std::cerr << "make_large_archive: " << argv[1] << ": " << failure.what() << "\n";
    return 1;
  }
  return 0;
}
