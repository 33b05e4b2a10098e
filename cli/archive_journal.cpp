#include "cli/archive_journal.h"

#include "archive/archive_error.h"
#include "archive/conflicts.h"
#include "archive/objects.h"
#include "archive/sync.h"
#include "cli/archive_words.h"
#include "cli/server_login.h"

namespace qvx::cli {
namespace {

// How often a card changed on the server meanwhile is taken and given the
// device's settings again before the change is left undone.
constexpr int kSendRounds = 3;

}  // namespace

std::string ArchiveOptionsProblem(const ParsedArgs& parsed) {
  if (const std::string problem = ServerOptionsProblem(parsed); !problem.empty()) return problem;
  const bool archive = parsed.Has("--archive") || parsed.Has("--server");
  if (archive && !parsed.Has("--object"))
    return std::string(parsed.Has("--archive") ? "--archive" : "--server") +
           " действует только вместе с --object";
  if (parsed.Has("--object") && !archive)
    return "--object действует только вместе с --archive или --server";
  return "";
}

std::unique_ptr<ObjectJournal> ObjectJournal::Open(const ParsedArgs& parsed, std::string& failure,
                                                   bool& usage) {
  usage = false;
  const std::string number = parsed.Value("--object");
  std::unique_ptr<ObjectJournal> journal(new ObjectJournal());
  if (parsed.Has("--server")) {
    journal->link_ = LogInBy(parsed, failure, usage);
    if (!journal->link_) return nullptr;
    try {
      const archive::Card card = ObjectOnServer(*journal->link_, number).first;
      if (card.deleted) {
        failure = journal->link_->Named("нет объекта с номером " + number);
        return nullptr;
      }
      journal->server_ = std::make_unique<ServerArchive>(*journal->link_);
      journal->server_->TakeCard(card);
      journal->object_id_ = card.id;
      journal->installer_ = journal->link_->UserName();
      return journal;
    } catch (const ServerError& error) {
      failure = error.what();
    } catch (const archive::ArchiveError& error) {
      failure = journal->link_->Named(error.what());
    }
    return nullptr;
  }
  const std::string file = parsed.Value("--archive");
  try {
    journal->file_ = file;
    journal->file_db_ = std::make_unique<archive::SqliteArchive>(file, archive::OpenMode::Write);
    const std::optional<archive::Card> card = archive::FindObject(*journal->file_db_, number);
    if (!card || card->deleted) {
      failure = file + ": нет объекта с номером " + number;
      return nullptr;
    }
    journal->object_id_ = card->id;
    journal->installer_ = InstallerName();
    return journal;
  } catch (const archive::ArchiveError& error) {
    failure = file + ": " + error.what();
    return nullptr;
  }
}

ObjectJournal::~ObjectJournal() {
  server_.reset();  // before the link it speaks through
}

archive::Executor& ObjectJournal::Db() {
  if (server_) return server_->Db();
  return *file_db_;
}

std::string ObjectJournal::Add(const std::string& port, const std::string& command,
                               std::optional<device::Outcome> outcome, device::Cause cause,
                               const std::string& outcome_text, const std::string& settings_line) {
  archive::Entry entry;
  entry.installer = installer_;
  entry.port = port;
  entry.command = command;
  entry.outcome = outcome ? std::string(device::OutcomeCode(*outcome)) : "";
  entry.cause = std::string(device::CauseCode(cause));
  entry.outcome_text = outcome_text;
  entry.settings = settings_line;
  try {
    archive::JournalCommand(Db(), object_id_, entry);
  } catch (const archive::ArchiveError& error) {
    const std::string where = server_ ? link_->Named("") : file_ + ": ";
    return where + "запись в журнал не удалась: " + error.what();
  }
  if (archive::TakesSettings(entry.outcome) && !settings_line.empty())
    taken_settings_ = settings_line;
  // A server that cannot take it now may take it with the next port's, or at the end.
  if (server_) send_failure_ = Send();
  return "";
}

std::string ObjectJournal::Send() {
  try {
    for (int round = 0; round < kSendRounds; ++round) {
      server_->Push();
      const std::vector<archive::Conflict> conflicts = archive::ListConflicts(Db());
      if (conflicts.empty()) return "";
      // Changed there meanwhile: the server's card, with what the device holds now.
      for (const archive::Conflict& conflict : conflicts) {
        archive::Card card = archive::SettleConflict(Db(), conflict.mine.id,
                                                     archive::Settle::TakeTheirs, installer_);
        if (card.id != object_id_ || taken_settings_.empty() || card.settings == taken_settings_)
          continue;
        card.settings = taken_settings_;
        archive::ChangeObject(Db(), card, installer_);
      }
    }
    return link_->Named("карточку объекта всё время меняют на сервере: её настройки не обновлены");
  } catch (const ServerError& error) {
    return error.what();
  } catch (const archive::ArchiveError& error) {
    return link_->Named(error.what());
  }
}

std::string ObjectJournal::Finish() {
  if (!server_) return "";
  const archive::SyncWaiting waiting = archive::WaitingForSync(Db());
  if (waiting.entries + waiting.cards + waiting.conflicts > 0) send_failure_ = Send();
  if (send_failure_.empty()) return "";
  const archive::SyncWaiting left = archive::WaitingForSync(Db());
  if (left.entries == 0) return send_failure_;
  return send_failure_ + " (не отправлено записей журнала: " + std::to_string(left.entries) + ")";
}

}  // namespace qvx::cli
