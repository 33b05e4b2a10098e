#include "cli/server_archive.h"

#include "archive/archive_error.h"
#include "archive/conflicts.h"
#include "archive/records_json.h"
#include "archive/sync.h"
#include "archive/sync_tables.h"

namespace qvx::cli {
namespace {

// A listed card: the list carries no settings, which a card needs to be checked.
archive::Card ListedCard(const nlohmann::json& json) {
  archive::Card card;
  const auto text = [&](const char* key) {
    const auto found = json.find(key);
    return found != json.end() && found->is_string() ? found->get<std::string>() : "";
  };
  card.id = text("id");
  card.number = text("number");
  card.name = text("name");
  card.address = text("address");
  card.phone = text("phone");
  card.note = text("note");
  card.created_at = text("createdAt");
  card.created_by = text("createdBy");
  card.changed_at = text("changedAt");
  card.changed_by = text("changedBy");
  card.deleted = json.value("deleted", false);
  card.version = json.value("version", std::int64_t{0});
  return card;
}

template <typename Read>
auto Checked(ServerLink& link, Read read) -> decltype(read()) {
  try {
    return read();
  } catch (const archive::ArchiveError& error) {
    throw ServerError(link.Named(std::string("ответ сервера отклонён: ") + error.what()));
  } catch (const nlohmann::json::exception&) {
    throw ServerError(link.Named("ответ сервера не читается"));
  }
}

constexpr const char* kNothingSent = R"({"cursor":0,"cards":[],"entries":[]})";

}  // namespace

ServerList ListOnServer(ServerLink& link, const std::string& text) {
  const nlohmann::json answer = link.Get("/api/objects?search=" + UrlEncoded(text));
  return Checked(link, [&] {
    ServerList list;
    for (const nlohmann::json& object : answer.at("objects"))
      list.cards.push_back(ListedCard(object));
    list.more = answer.at("more").get<std::int64_t>();
    return list;
  });
}

std::pair<archive::Card, std::vector<archive::Entry>> ObjectOnServer(ServerLink& link,
                                                                     const std::string& number) {
  const nlohmann::json answer = link.Get("/api/objects/" + UrlEncoded(number));
  return Checked(link, [&] {
    std::pair<archive::Card, std::vector<archive::Entry>> object;
    object.first = archive::CardFromJson(answer.at("card"));
    for (const nlohmann::json& entry : answer.at("journal"))
      object.second.push_back(archive::EntryFromJson(entry));
    return object;
  });
}

ServerArchive::ServerArchive(ServerLink& link)
    : link_(link),
      db_(std::make_unique<archive::SqliteArchive>(":memory:", archive::OpenMode::Create)) {
  archive::SyncRequest(*db_, link_.Origin());  // marks the archive as the server's
}

void ServerArchive::TakeCard(const archive::Card& card) {
  const nlohmann::json answer = {{"cursor", 0},
                                 {"cards", {archive::CardJson(card)}},
                                 {"entries", nlohmann::json::array()},
                                 {"conflicts", nlohmann::json::array()}};
  archive::ApplySyncAnswer(*db_, link_.Origin(), kNothingSent, answer.dump());
}

bool ServerArchive::Round(std::int64_t& sent) {
  const std::string request = archive::SyncRequest(*db_, link_.Origin());
  const nlohmann::json answer = link_.Post("/api/sync", request);
  const archive::SyncApplied applied = Checked(link_, [&] {
    return archive::ApplySyncAnswer(*db_, link_.Origin(), request, answer.dump());
  });
  sent += applied.sent;
  return answer.value("more", false);
}

void ServerArchive::PullAll() {
  std::int64_t sent = 0;
  std::int64_t cursor = -1;
  while (Round(sent)) {
    // A server that says "more" without moving on would be asked for ever.
    const std::optional<std::string> kept = archive::SyncValue(*db_, archive::kCursorKey);
    const std::int64_t next = kept ? std::stoll(*kept) : 0;  // checked as it was kept
    if (next <= cursor) throw ServerError(link_.Named("сервер повторяет один и тот же ответ"));
    cursor = next;
  }
}

std::int64_t ServerArchive::Push(std::vector<std::string>* renumbered) {
  std::int64_t sent = 0;
  for (;;) {
    const archive::SyncWaiting waiting = archive::WaitingForSync(*db_);
    if (waiting.entries + waiting.cards == 0) break;
    const std::int64_t before = sent;
    Round(sent);
    for (const archive::Conflict& conflict : archive::ListConflicts(*db_)) {
      if (conflict.theirs.id == conflict.mine.id) continue;
      const archive::Card moved = archive::SettleConflict(
          *db_, conflict.mine.id, archive::Settle::TakeTheirs, link_.UserName());
      if (renumbered)
        renumbered->push_back(conflict.mine.number + " → " + moved.number + " (" + moved.name +
                              ")");
    }
    // A request the server took whole and nothing more to send: done; one
    // that carried nothing would loop for ever.
    if (sent == before) break;
  }
  return sent;
}

}  // namespace qvx::cli
