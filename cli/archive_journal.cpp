#include "cli/archive_journal.h"

#include "archive/archive_error.h"
#include "archive/objects.h"
#include "cli/archive_words.h"

namespace qvx::cli {

std::string ArchiveOptionsProblem(const ParsedArgs& parsed) {
  if (parsed.Has("--archive") && !parsed.Has("--object"))
    return "--archive действует только вместе с --object";
  if (parsed.Has("--object") && !parsed.Has("--archive"))
    return "--object действует только вместе с --archive";
  return "";
}

std::unique_ptr<ObjectJournal> ObjectJournal::Open(const std::string& file,
                                                   const std::string& number,
                                                   std::string& failure) {
  try {
    auto db = std::make_unique<archive::SqliteArchive>(file, archive::OpenMode::Write);
    const std::optional<archive::Card> card = archive::FindObject(*db, number);
    if (!card || card->deleted) {
      failure = file + ": нет объекта с номером " + number;
      return nullptr;
    }
    return std::unique_ptr<ObjectJournal>(new ObjectJournal(file, std::move(db), card->id));
  } catch (const archive::ArchiveError& error) {
    failure = file + ": " + error.what();
    return nullptr;
  }
}

std::string ObjectJournal::Add(const std::string& port, const std::string& command,
                               std::optional<device::Outcome> outcome, device::Cause cause,
                               const std::string& outcome_text, const std::string& settings_line) {
  archive::Entry entry;
  entry.installer = InstallerName();
  entry.port = port;
  entry.command = command;
  entry.outcome = outcome ? std::string(device::OutcomeCode(*outcome)) : "";
  entry.cause = std::string(device::CauseCode(cause));
  entry.outcome_text = outcome_text;
  entry.settings = settings_line;
  try {
    archive::JournalCommand(*db_, object_id_, entry);
    return "";
  } catch (const archive::ArchiveError& error) {
    return file_ + ": запись в журнал не удалась: " + error.what();
  }
}

}  // namespace qvx::cli
