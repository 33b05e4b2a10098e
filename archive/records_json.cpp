#include "archive/records_json.h"

#include "archive/archive_error.h"
#include "config_file/cp1251.h"

namespace qvx::archive {
namespace {

[[noreturn]] void Refuse(const std::string& words) {
  throw ArchiveError(Failure::Refused, words);
}

const nlohmann::json& Field(const nlohmann::json& json, const char* key) {
  if (!json.is_object()) Refuse("запись не является объектом JSON");
  const auto found = json.find(key);
  if (found == json.end()) Refuse(std::string("в записи нет поля \"") + key + "\"");
  return *found;
}

std::string Text(const nlohmann::json& json, const char* key) {
  const nlohmann::json& value = Field(json, key);
  if (!value.is_string()) Refuse(std::string("поле \"") + key + "\" не является строкой");
  return value.get<std::string>();
}

std::int64_t Integer(const nlohmann::json& json, const char* key) {
  const nlohmann::json& value = Field(json, key);
  if (!value.is_number_integer())
    Refuse(std::string("поле \"") + key + "\" не является целым числом");
  return value.get<std::int64_t>();
}

std::string SettingsLine(const nlohmann::json& json) {
  const std::optional<std::string> line = Utf8ToCp1251(Text(json, "settings"));
  if (!line) Refuse("настройки содержат знаки, которых нет в кодировке файла");
  return *line;
}

}  // namespace

nlohmann::ordered_json CardJson(const Card& card) {
  return {{"id", card.id},
          {"number", card.number},
          {"name", card.name},
          {"address", card.address},
          {"phone", card.phone},
          {"note", card.note},
          {"createdAt", card.created_at},
          {"createdBy", card.created_by},
          {"changedAt", card.changed_at},
          {"changedBy", card.changed_by},
          {"version", card.version},
          {"deleted", card.deleted},
          {"settings", Cp1251ToUtf8(card.settings)}};
}

nlohmann::ordered_json EntryJson(const Entry& entry) {
  nlohmann::ordered_json json = {{"id", entry.id},
                                 {"objectId", entry.object_id},
                                 {"at", entry.at},
                                 {"installer", entry.installer},
                                 {"port", entry.port},
                                 {"command", entry.command},
                                 {"outcome", entry.outcome},
                                 {"cause", entry.cause},
                                 {"outcomeText", entry.outcome_text},
                                 {"differing", nullptr},
                                 {"settings", Cp1251ToUtf8(entry.settings)}};
  if (entry.differing) json["differing"] = *entry.differing;
  return json;
}

Card CardFromJson(const nlohmann::json& json) {
  Card card;
  card.id = Text(json, "id");
  card.number = Text(json, "number");
  card.name = Text(json, "name");
  card.address = Text(json, "address");
  card.phone = Text(json, "phone");
  card.note = Text(json, "note");
  card.created_at = Text(json, "createdAt");
  card.created_by = Text(json, "createdBy");
  card.changed_at = Text(json, "changedAt");
  card.changed_by = Text(json, "changedBy");
  card.version = Integer(json, "version");
  const nlohmann::json& deleted = Field(json, "deleted");
  if (!deleted.is_boolean()) Refuse("поле \"deleted\" не является логическим значением");
  card.deleted = deleted.get<bool>();
  card.settings = SettingsLine(json);
  if (const std::string refusal = CardRefusal(card); !refusal.empty()) Refuse(refusal);
  return card;
}

Entry EntryFromJson(const nlohmann::json& json) {
  Entry entry;
  entry.id = Text(json, "id");
  entry.object_id = Text(json, "objectId");
  entry.at = Text(json, "at");
  entry.installer = Text(json, "installer");
  entry.port = Text(json, "port");
  entry.command = Text(json, "command");
  entry.outcome = Text(json, "outcome");
  entry.cause = Text(json, "cause");
  entry.outcome_text = Text(json, "outcomeText");
  if (const nlohmann::json& differing = Field(json, "differing"); !differing.is_null())
    entry.differing = Integer(json, "differing");
  entry.settings = SettingsLine(json);
  if (const std::string refusal = EntryRefusal(entry); !refusal.empty()) Refuse(refusal);
  return entry;
}

}  // namespace qvx::archive
