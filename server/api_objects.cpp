// Reading the objects and syncing them.
#include "archive/archive_error.h"
#include "archive/records_json.h"
#include "server/api.h"
#include "server/json_answers.h"
#include "server/object_store.h"
#include "server/rows.h"
#include "server/sync.h"

namespace qvx::server {
namespace {

nlohmann::ordered_json ListedCard(const archive::Card& card) {
  nlohmann::ordered_json json = archive::CardJson(card);
  json.erase("settings");  // a list needs none, and they are the largest part
  return json;
}

// The sync's request from its JSON; throws ArchiveError (Refused) naming
// what is wrong, before anything is stored.
SyncRequest SyncRequestOf(const nlohmann::json& body) {
  const auto refuse = [](const std::string& why) {
    throw archive::ArchiveError(archive::Failure::Refused, why);
  };
  if (!body.is_object()) refuse("тело запроса не является объектом JSON");
  SyncRequest request;
  const auto cursor = body.find("cursor");
  if (cursor == body.end() || !cursor->is_number_integer() || cursor->get<std::int64_t>() < 0)
    refuse("нет курсора синхронизации");
  request.cursor = cursor->get<std::int64_t>();
  const auto cards = body.find("cards");
  const auto entries = body.find("entries");
  if (cards == body.end() || !cards->is_array()) refuse("нет списка карточек");
  if (entries == body.end() || !entries->is_array()) refuse("нет списка записей журнала");
  for (const nlohmann::json& pushed : *cards) {
    if (!pushed.is_object() || !pushed.contains("card") || !pushed.contains("base") ||
        !pushed["base"].is_number_integer() || pushed["base"].get<std::int64_t>() < 0)
      refuse("карточка без основы изменения");
    request.cards.push_back({archive::CardFromJson(pushed["card"]), pushed["base"]});
  }
  for (const nlohmann::json& entry : *entries)
    request.entries.push_back(archive::EntryFromJson(entry));
  return request;
}

}  // namespace

Response Api::Objects(const Request& request) {
  const auto search = request.query.find("search");
  const std::string text = search == request.query.end() ? "" : search->second;
  if (!IsPlainLine(text)) return BadRequest("недопустимый символ в строке поиска");
  const auto deleted = request.query.find("deleted");
  const bool only_deleted = deleted != request.query.end() && deleted->second == "1";
  Lease lease = database_.Acquire();
  const Found found = SearchCards(*lease, text, only_deleted);
  nlohmann::ordered_json objects = nlohmann::ordered_json::array();
  for (const archive::Card& card : found.cards) objects.push_back(ListedCard(card));
  return JsonAnswer(200, {{"objects", objects}, {"more", found.more}});
}

Response Api::Object(const std::string& number) {
  if (!IsPlainLine(number)) return BadRequest("недопустимый символ в номере объекта");
  Lease lease = database_.Acquire();
  const std::optional<archive::Card> card = CardOfNumber(*lease, number);
  if (!card) return ErrorAnswer(404, "нет объекта с номером " + number);
  nlohmann::ordered_json journal = nlohmann::ordered_json::array();
  for (const archive::Entry& entry : JournalOfObject(*lease, card->id))
    journal.push_back(archive::EntryJson(entry));
  return JsonAnswer(200, {{"card", archive::CardJson(*card)}, {"journal", journal}});
}

Response Api::SyncCall(const Request& request, const Session& session) {
  const nlohmann::json body = nlohmann::json::parse(request.body, nullptr, false);
  if (body.is_discarded()) return BadRequest("тело запроса не читается как JSON");
  const SyncRequest sync = SyncRequestOf(body);
  Lease lease = database_.Acquire();
  const SyncAnswer answer = Sync(*lease, session.account, sync);
  nlohmann::ordered_json cards = nlohmann::ordered_json::array();
  nlohmann::ordered_json entries = nlohmann::ordered_json::array();
  nlohmann::ordered_json conflicts = nlohmann::ordered_json::array();
  for (const archive::Card& card : answer.cards) cards.push_back(archive::CardJson(card));
  for (const archive::Entry& entry : answer.entries) entries.push_back(archive::EntryJson(entry));
  for (const Conflict& conflict : answer.conflicts)
    conflicts.push_back({{"mine", archive::CardJson(conflict.mine)},
                         {"theirs", archive::CardJson(conflict.theirs)}});
  return JsonAnswer(200, {{"cursor", answer.cursor},
                          {"cards", cards},
                          {"entries", entries},
                          {"conflicts", conflicts},
                          {"more", answer.more}});
}

}  // namespace qvx::server
