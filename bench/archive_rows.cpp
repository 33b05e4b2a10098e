#include "bench/archive_rows.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "archive/objects.h"
#include "archive/sqlite_archive.h"
#include "bench/large_archive.h"
#include "bench/spawn.h"

namespace qvx::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 1000;
constexpr double kImportTargetMs = 10'000;
constexpr double kSearchTargetMs = 50;

double Ms(Clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

double ImportTime(const std::string& cli, const fs::path& folder, int runs) {
  const fs::path files = folder / "Объекты заказчиков";
  fs::create_directories(files);
  for (int i = 0; i < kFiles; ++i)
    std::ofstream(files / ("Заказчик " + std::to_string(i) + ".qvx"), std::ios::binary)
        << LineFor(i) << "\r\n";
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const std::string archive = (folder / ("import-" + std::to_string(run) + ".qvxa")).string();
    const Finished imported = RunProgram({cli, "archive", "import", archive, files.string()});
    if (imported.exit_code != 0) throw std::runtime_error("quorvex-cli archive import failed");
    times.push_back(Ms(imported.ended - imported.started));
  }
  return Median(times);
}

double SearchTime(const std::string& path, int runs) {
  archive::SqliteArchive db(path, archive::OpenMode::ReadOnly);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const Clock::time_point start = Clock::now();
    const std::vector<archive::Card> found = archive::ListObjects(db, "916 100 5");
    times.push_back(Ms(Clock::now() - start));
    if (found.empty()) throw std::runtime_error("the archive's search found nothing");
  }
  return Median(times);
}

}  // namespace

std::vector<Row> ArchiveRows(const std::string& bin, int runs) {
  const fs::path folder =
      fs::temp_directory_path() / ("quorvex-bench-archive-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const double import = ImportTime(bin + "/quorvex-cli", folder, runs);
  const std::string large_path = (folder / "large.qvxa").string();
  const Large large = BuildLarge(large_path);
  const double search = SearchTime(large_path, 5);
  fs::remove_all(folder);
  return {
      {"archive: import of 1,000 .qvx files (quorvex-cli)", Milliseconds(import),
       "the target, 10 s", import / kImportTargetMs, "1.00"},
      {"archive: file of 10,000 objects, 100,000 entries", Megabytes(large.megabytes),
       "its settings lines alone " + Megabytes(large.lines_megabytes),
       large.megabytes / large.lines_megabytes, ""},
      {"archive: search by phone digits there (native)", Milliseconds(search),
       "the page's target, 50 ms", search / kSearchTargetMs, "1.00"},
  };
}

}  // namespace qvx::bench
