#include "server/sync.h"

#include "archive/archive_error.h"
#include "server/audit.h"
#include "server/object_store.h"

namespace qvx::server {
namespace {

using archive::Card;

// The fields that are the card's identity to an installer.
bool SameIdentity(const Card& a, const Card& b) {
  return a.number == b.number && a.name == b.name && a.address == b.address && a.phone == b.phone &&
         a.note == b.note && a.deleted == b.deleted;
}

// The fields a change touched, in words, for the audit (never their values).
std::string ChangedFields(const Card& before, const Card& after) {
  std::string words;
  const auto add = [&words](bool changed, const char* what) {
    if (!changed) return;
    if (!words.empty()) words += ", ";
    words += what;
  };
  add(before.number != after.number, "номер");
  add(before.name != after.name, "название");
  add(before.address != after.address, "адрес");
  add(before.phone != after.phone, "телефон");
  add(before.note != after.note, "примечание");
  add(before.settings != after.settings, "настройки");
  return "версия " + std::to_string(after.version) + (words.empty() ? "" : ": " + words);
}

const char* ChangeAction(const Card& before, const Card& after) {
  if (!before.deleted && after.deleted) return audit_action::kCardDeleted;
  if (before.deleted && !after.deleted) return audit_action::kCardRestored;
  return audit_action::kCardChanged;
}

// Takes one pushed card, or returns the conflict it makes.
std::optional<Conflict> Take(archive::Executor& executor, const Account& account,
                             const PushedCard& pushed, std::int64_t seq) {
  const Card& card = pushed.card;
  const std::optional<Card> stored = CardOfId(executor, card.id);
  // Sent again after a lost answer: already here as it stands.
  if (stored && *stored == card) return std::nullopt;
  const std::optional<Card> holder = CardOfNumber(executor, card.number);
  const bool number_taken = holder && holder->id != card.id;
  if (stored && stored->version != pushed.base) return Conflict{card, *stored};
  if (number_taken) return Conflict{card, *holder};
  if (!stored) {
    if (account.role == Role::Installer && card.deleted)
      throw RoleRefusal("установщик не создаёт удалённых объектов");
    InsertCardRow(executor, card, seq);
    Audit(executor, {"", account.name, audit_action::kCardCreated, card.number, ""});
    return std::nullopt;
  }
  if (card.version <= pushed.base)
    throw archive::ArchiveError(
        archive::Failure::Refused,
        "версия карточки объекта " + card.number + " должна быть больше версии сервера");
  if (account.role == Role::Installer &&
      (!SameIdentity(card, *stored) ||
       (card.settings != stored->settings && !SettingsJournaled(executor, card.id, card.settings))))
    throw RoleRefusal("установщик меняет карточку объекта только записью в журнал");
  UpdateCardRow(executor, card, seq);
  Audit(executor,
        {"", account.name, ChangeAction(*stored, card), card.number, ChangedFields(*stored, card)});
  return std::nullopt;
}

}  // namespace

SyncAnswer Sync(archive::Executor& executor, const Account& account, const SyncRequest& request,
                std::int64_t page) {
  SyncAnswer answer;
  const bool writes = !request.cards.empty() || !request.entries.empty();
  std::optional<archive::Transaction> transaction;
  if (writes) {
    transaction.emplace(executor);
    const std::int64_t seq = NextChange(executor);
    std::int64_t added = 0;
    for (const archive::Entry& entry : request.entries)
      if (InsertEntryRow(executor, entry, seq)) ++added;
    if (added > 0)
      Audit(executor, {"", account.name, audit_action::kEntries, "", std::to_string(added)});
    for (const PushedCard& pushed : request.cards) {
      if (std::optional<Conflict> conflict = Take(executor, account, pushed, seq)) {
        Audit(executor, {"", account.name, audit_action::kConflict, pushed.card.number,
                         "версия сервера " + std::to_string(conflict->theirs.version) +
                             ", основа изменения " + std::to_string(pushed.base)});
        answer.conflicts.push_back(std::move(*conflict));
      }
    }
  }
  // Read after the writes: every change up to the counter is committed (or
  // is this one), so the next cursor skips nothing.
  const std::int64_t last = LastChange(executor);
  // A cursor beyond the counter is from a database since replaced: all again.
  const std::int64_t after = request.cursor > last ? 0 : request.cursor;
  answer.cursor = PageEnd(executor, after, last, page);
  answer.more = answer.cursor < last;
  answer.cards = CardsChanged(executor, after, answer.cursor);
  answer.entries = EntriesAdded(executor, after, answer.cursor);
  if (transaction) transaction->Commit();
  return answer;
}

}  // namespace qvx::server
