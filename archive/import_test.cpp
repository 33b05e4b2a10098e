// Files and archives brought in, and commands journaled under an object.
#include <gtest/gtest.h>

#include "archive/archive_error.h"
#include "archive/import.h"
#include "archive/objects.h"
#include "archive/sqlite_archive.h"
#include "config_file/settings_line.h"
#include "settings/memory_settings.h"
#include "tests/support/scratch_folder.h"

namespace qvx::archive {
namespace {

std::string LineWithPassword(const std::string& password) {
  MemorySettings settings;
  settings.SetText("Edit25", password);
  return BuildSettingsLine(settings).line;
}

class ArchiveImport : public testing::Test {
 protected:
  ScratchFolder folder_{"archive-import"};
  SqliteArchive db_{folder_.Path("a.qvxa"), OpenMode::Create};
};

TEST(ArchiveFileNames, ObjectIsNamedByItsFile) {
  EXPECT_EQ(ObjectNameOfFile("/дом/Иванов И. И.qvx"), "Иванов И. И");
  EXPECT_EQ(ObjectNameOfFile("Склад.QVX"), "Склад");
  EXPECT_EQ(ObjectNameOfFile(".qvx"), ".qvx");
  EXPECT_EQ(ObjectNameOfFile("без расширения"), "без расширения");
}

TEST_F(ArchiveImport, RepeatedImportAddsNothingAndAChangedFileAddsAnEntry) {
  EXPECT_EQ(ImportSettingsFile(db_, "Иванов.qvx", LineWithPassword("1111"), "ivan").imported,
            Imported::Added);
  EXPECT_EQ(ImportSettingsFile(db_, "Петров.qvx", LineWithPassword("2222"), "ivan").number, "2");
  const ImportResult again =
      ImportSettingsFile(db_, "Иванов.qvx", LineWithPassword("1111"), "ivan");
  EXPECT_EQ(again.imported, Imported::Unchanged);
  EXPECT_EQ(again.number, "1");
  EXPECT_EQ(ListObjects(db_).size(), 2u);
  const Card ivanov = *FindObject(db_, "1");
  EXPECT_EQ(JournalOf(db_, ivanov.id).size(), 1u);
  EXPECT_FALSE(JournalOf(db_, ivanov.id)[0].differing);  // nothing before it

  EXPECT_EQ(ImportSettingsFile(db_, "Иванов.qvx", LineWithPassword("3333"), "ivan").imported,
            Imported::Changed);
  const Card changed = *FindObject(db_, "1");
  EXPECT_EQ(changed.version, ivanov.version + 1);
  EXPECT_EQ(changed.settings, LineWithPassword("3333"));
  const std::vector<Entry> journal = JournalOf(db_, ivanov.id);
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[1].differing, 1);
}

TEST_F(ArchiveImport, RefusesALineThatDoesNotRead) {
  EXPECT_THROW(ImportSettingsFile(db_, "x.qvx", "not a line", "ivan"), ArchiveError);
  EXPECT_TRUE(ListObjects(db_).empty());
}

TEST_F(ArchiveImport, CommandsJournalUnderTheObjectAndSuccessTakesTheSettings) {
  Card card;
  card.number = "5";
  card.name = "Сидоров";
  card.settings = LineWithPassword("1111");
  card = CreateObject(db_, card, "ivan");
  Entry failed;
  failed.installer = "ivan";
  failed.port = "/dev/ttyUSB0";
  failed.command = std::string(kWriteCommand);
  failed.outcome = "cannotOpen";
  failed.cause = "busy";
  failed.settings = LineWithPassword("2222");
  JournalCommand(db_, card.id, failed);
  EXPECT_EQ(FindObject(db_, "5")->settings, card.settings);  // the device holds no new ones
  Entry sent = failed;
  sent.outcome = "sent";
  sent.cause = "";
  const Entry stored = JournalCommand(db_, card.id, sent);
  EXPECT_EQ(stored.differing, 1);
  EXPECT_EQ(FindObject(db_, "5")->settings, LineWithPassword("2222"));
  EXPECT_EQ(FindObject(db_, "5")->version, 2);
  const std::vector<Entry> journal = JournalOf(db_, card.id);
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[0].cause, "busy");
  EXPECT_EQ(journal[1], stored);
  EXPECT_THROW(JournalCommand(db_, NewId(), sent), ArchiveError);  // no such object
}

TEST_F(ArchiveImport, MergeKeepsEveryEntryOnceAndTheHigherVersion) {
  // The other archive: a copy of this one, then changed on another machine.
  ImportSettingsFile(db_, "Иванов.qvx", LineWithPassword("1111"), "ivan");
  ImportSettingsFile(db_, "Петров.qvx", LineWithPassword("2222"), "ivan");
  std::filesystem::copy_file(folder_.Path("a.qvxa"), folder_.Path("b.qvxa"));
  {
    SqliteArchive other(folder_.Path("b.qvxa"), OpenMode::Create);
    ImportSettingsFile(other, "Иванов.qvx", LineWithPassword("9999"), "oleg");  // version 2 there
    Card card;
    card.number = "3";
    card.name = "Там";
    card.settings = LineWithPassword("3333");
    CreateObject(other, card, "oleg");
  }
  // Here: a different card under number 3, and Петров changed (a tie of versions).
  Card here;
  here.number = "3";
  here.name = "Здесь";
  here.settings = LineWithPassword("4444");
  CreateObject(db_, here, "ivan");
  Card petrov = *FindObject(db_, "2");
  petrov.note = "здесь";
  ChangeObject(db_, petrov, "ivan");
  {
    SqliteArchive other(folder_.Path("b.qvxa"), OpenMode::Create);
    Card there = *FindObject(other, "2");
    there.note = "там";
    ChangeObject(other, there, "oleg");
  }

  SqliteArchive other(folder_.Path("b.qvxa"), OpenMode::ReadOnly);
  const MergeCounts counts = MergeArchive(db_, other);
  EXPECT_EQ(counts.cards_added, 1u);
  EXPECT_EQ(counts.cards_updated, 1u);
  EXPECT_EQ(counts.entries_added, 1u);  // Иванов's second; the card "Там" has none
  EXPECT_EQ(counts.renumbered, std::vector<std::string>{"3 → 3/2 (Там)"});
  EXPECT_EQ(FindObject(db_, "1")->settings, LineWithPassword("9999"));
  EXPECT_EQ(FindObject(db_, "2")->note, "здесь");  // the tie keeps this side's
  EXPECT_EQ(FindObject(db_, "3")->name, "Здесь");
  EXPECT_EQ(FindObject(db_, "3/2")->name, "Там");
  EXPECT_EQ(JournalOf(db_, FindObject(db_, "1")->id).size(), 2u);

  const MergeCounts again = MergeArchive(db_, other);
  EXPECT_EQ(again.cards_added + again.cards_updated + again.entries_added, 0u);
  EXPECT_TRUE(again.renumbered.empty());
  EXPECT_EQ(ListObjects(db_).size(), 4u);
}

}  // namespace
}  // namespace qvx::archive
