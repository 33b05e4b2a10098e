#include "bench/large_archive.h"

#include <filesystem>

#include "archive/objects.h"
#include "archive/records.h"
#include "archive/sqlite_archive.h"
#include "config_file/settings_line.h"
#include "settings/memory_settings.h"

namespace qvx::bench {

std::string LineFor(int n) {
  MemorySettings settings;
  settings.SetText("Edit25", std::to_string(1000 + n % 9000));
  settings.SetText("Edit16", "+7916" + std::to_string(1000000 + n));
  return BuildSettingsLine(settings).line;
}

// The entries' counts are worked out as JournalCommand would.
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
  large.megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  large.lines_megabytes /= 1e6;
  return large;
}

}  // namespace qvx::bench
