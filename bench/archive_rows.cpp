#include "bench/archive_rows.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "archive/objects.h"
#include "archive/records.h"
#include "archive/sqlite_archive.h"
#include "bench/spawn.h"
#include "config_file/settings_line.h"
#include "settings/memory_settings.h"

namespace qvx::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 1000;
constexpr int kObjects = 10'000;
constexpr int kEntriesPerObject = 10;
constexpr double kImportTargetMs = 10'000;
constexpr double kSearchTargetMs = 50;

double Ms(Clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

// A settings line of its own for every `n`: a password and a subscriber apart.
std::string LineFor(int n) {
  MemorySettings settings;
  settings.SetText("Edit25", std::to_string(1000 + n % 9000));
  settings.SetText("Edit16", "+7916" + std::to_string(1000000 + n));
  return BuildSettingsLine(settings).line;
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

struct Large {
  double megabytes = 0;
  double lines_megabytes = 0;  // the settings lines it holds, alone
};

// 10,000 cards with ten entries each, the entries' counts worked out as
// JournalCommand would, in one transaction.
Large BuildLarge(const std::string& path) {
  archive::SqliteArchive db(path, archive::OpenMode::Create);
  Large large;
  archive::Transaction transaction(db);
  for (int object = 0; object < kObjects; ++object) {
    archive::Card card;
    card.number = std::to_string(object + 1);
    card.name = "Заказчик " + std::to_string(object);
    card.address =
        "ул. Садовая, " + std::to_string(object % 200) + ", кв. " + std::to_string(object % 90);
    card.settings = LineFor(object);
    card = archive::CreateObject(db, card, "installer");
    large.lines_megabytes += static_cast<double>(card.settings.size());
    for (int n = 0; n < kEntriesPerObject; ++n) {
      archive::Entry entry;
      entry.id = archive::NewId();
      entry.object_id = card.id;
      entry.at = archive::NowText();
      entry.installer = "installer";
      entry.port = "/dev/ttyUSB" + std::to_string(n % 4);
      entry.command = std::string(n % 2 ? archive::kReadCommand : archive::kWriteVerifyCommand);
      entry.outcome = n % 2 ? "readSuccess" : "verifyEqual";
      entry.outcome_text = n % 2 ? "прочитано" : "записано и проверено";
      entry.settings = LineFor(object + n);
      entry.differing = n == 0 ? 0 : 2;
      db.Run(archive::InsertEntry(entry));
      large.lines_megabytes += static_cast<double>(entry.settings.size());
    }
  }
  transaction.Commit();
  large.megabytes = static_cast<double>(fs::file_size(path)) / 1e6;
  large.lines_megabytes /= 1e6;
  return large;
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
